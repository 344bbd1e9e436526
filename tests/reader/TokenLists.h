#pragma once

#include "core/Token.h"

#include <string>
#include <vector>

namespace Blinkwit::Testing {

// A plain five-letter word in the given sentence and paragraph.
inline BlinkwitCore::Token word(std::int64_t sentence = 0, std::int64_t paragraph = 0,
                                std::string text = "words") {
    return BlinkwitCore::Token{
        .text = std::move(text), .sentenceIndex = sentence, .paragraphIndex = paragraph};
}

inline BlinkwitCore::Token codeBlock(std::int64_t sentence = 0, std::int64_t paragraph = 0) {
    BlinkwitCore::Token token = word(sentence, paragraph, "[code: 3 lines]");
    token.kind = BlinkwitCore::TokenKind::codeBlock("swift", 3);
    token.codeContent = "let a = 1\nlet b = 2\nprint(a + b)";
    token.endsSentence = true;
    return token;
}

// count tokens of which the first of each sentence sits at the given positions.
inline std::vector<BlinkwitCore::Token> withSentenceStarts(const std::vector<int>& starts,
                                                           int count) {
    std::vector<BlinkwitCore::Token> tokens;
    std::int64_t sentence = -1;
    for (int i = 0; i < count; ++i) {
        for (int start : starts)
            if (start == i)
                ++sentence;
        tokens.push_back(word(sentence, 0, "word" + std::to_string(i)));
    }
    return tokens;
}

inline std::vector<BlinkwitCore::Token> words(int count) {
    return withSentenceStarts({0}, count);
}

} // namespace Blinkwit::Testing
