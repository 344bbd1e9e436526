#pragma once

#include "core/TextPreprocessor.h"
#include "core/UnicodeText.h"

#include <string>
#include <vector>

namespace TextTestSupport {

inline icu::UnicodeString u16(const std::string& utf8) {
    return BlinkwitCore::UnicodeText::fromUtf8(utf8);
}

inline std::string u8(const icu::UnicodeString& text) {
    return BlinkwitCore::UnicodeText::toUtf8(text);
}

// Runs one text-to-text stage on UTF-8.
template <typename Stage>
std::string apply(Stage stage, const std::string& utf8) {
    return u8(stage(u16(utf8)));
}

inline std::vector<BlinkwitCore::Token>
tokensOf(const std::string& text, BlinkwitCore::TextPreprocessor::CodeBlockMode mode =
                                      BlinkwitCore::TextPreprocessor::CodeBlockMode::placeholder) {
    return BlinkwitCore::TextPreprocessor::tokens(text, {.codeBlockMode = mode});
}

inline std::vector<std::string> textsOf(const std::vector<BlinkwitCore::Token>& tokens) {
    std::vector<std::string> texts;
    for (const auto& token : tokens)
        texts.push_back(token.text);
    return texts;
}

inline std::vector<std::string> textsOf(const std::string& text) {
    return textsOf(tokensOf(text));
}

const std::string esc = "\x1b";
const std::string mark = "\xee\x80\x81"; // U+E001, the sentence mark

} // namespace TextTestSupport
