#pragma once

#include "Token.h"
#include "TokenList.h"

#include <array>
#include <optional>
#include <stop_token>
#include <string_view>
#include <unicode/unistr.h>
#include <vector>

namespace BlinkwitCore {

// The text engine's entry point: raw text in, tokens in reading order out. Cleans terminal
// escapes, console chrome and Markdown mark-up on the way. Never fails; callable from any
// thread, also concurrently.
class TextPreprocessor {
public:
    TextPreprocessor() = delete;

    // What becomes of a fenced code block.
    enum class CodeBlockMode { placeholder, readWords, skip };
    static constexpr std::array<CodeBlockMode, 3> allCodeBlockModes = {
        CodeBlockMode::placeholder, CodeBlockMode::readWords, CodeBlockMode::skip};
    static std::string_view rawValue(CodeBlockMode mode);
    // The mode named by raw, or nothing for any other string.
    static std::optional<CodeBlockMode> fromRaw(std::string_view raw);

    struct Options {
        CodeBlockMode codeBlockMode = CodeBlockMode::placeholder;
    };

    // Headings and list items end a sentence: the line filter appends this mark, word
    // resolution removes it.
    static constexpr char16_t sentenceMark = 0xE001;

    // UTF-8 in; every ill-formed sequence reads as one U+FFFD.
    static std::vector<Token> tokens(std::string_view from, const Options& options);
    // The same tokens, kept compactly. Long texts are worked on in pieces on every core. Once
    // stop is requested the work ends early and the list comes back empty.
    static TokenList tokenList(std::string_view from, const Options& options,
                               const std::stop_token& stop = {});

    // The cleaning stages, in the order the pipeline runs them around the code extraction.
    // Those of several passes take their input by value, so that each pass releases the text
    // it read.
    static icu::UnicodeString stripANSI(icu::UnicodeString text);
    static icu::UnicodeString normalize(const icu::UnicodeString& text);
    static icu::UnicodeString filterChromeLines(const icu::UnicodeString& text);
    static icu::UnicodeString stripEmphasis(icu::UnicodeString text);
};

} // namespace BlinkwitCore
