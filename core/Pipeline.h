#pragma once

#include "TextPreprocessor.h"
#include "Token.h"

#include <optional>
#include <unicode/unistr.h>
#include <vector>

namespace BlinkwitCore {

// One run of the text engine. Units that must reach the reader whole (code blocks, code spans,
// addresses) are taken out of the text early into the stash and stand in the text as a
// placeholder word, U+E000 index U+E000, until word resolution puts them back.
class Pipeline {
public:
    static constexpr char16_t placeholderMark = 0xE000;

    explicit Pipeline(TextPreprocessor::Options options)
        : options_(options) {}

    std::vector<Token> run(icu::UnicodeString text);

    // Appends token to the stash and returns its placeholder.
    icu::UnicodeString stashToken(Token token);
    const std::vector<Token>& stash() const { return stash_; }

    // The multi-pass stages take their input by value: each pass releases the text it read.
    icu::UnicodeString extractFencedCodeBlocks(icu::UnicodeString text);
    icu::UnicodeString extractInline(icu::UnicodeString text);
    std::vector<Token> tokenize(const icu::UnicodeString& text) const;
    std::optional<Token> resolve(const icu::UnicodeString& word) const;
    static bool looksLikePath(const icu::UnicodeString& candidate);

    // What one pass over a word tells about it; the rare cases take the slow paths.
    struct WordTraits {
        bool marked = false;
        bool placeholder = false;
        bool pathSeparator = false;
        bool ascii = true;
        bool asciiDigit = false;
    };

private:
    static Token ordinaryWord(const icu::UnicodeString& word, const WordTraits& traits);
    icu::UnicodeString collapseCodeBlock(const std::optional<icu::UnicodeString>& language,
                                         const icu::UnicodeString& body);
    icu::UnicodeString extractCodeSpans(const icu::UnicodeString& text);
    icu::UnicodeString extractAddresses(const icu::UnicodeString& text);
    std::optional<Token> resolveStashed(const icu::UnicodeString& word) const;
    // Turns an ordinary word into a code token when, without its trailing punctuation, it
    // looks like a path.
    static void resolvePath(const icu::UnicodeString& word, Token& token);

    TextPreprocessor::Options options_;
    std::vector<Token> stash_;
};

} // namespace BlinkwitCore
