#pragma once

#include "core/TokenList.h"

#include <cstddef>
#include <string>

namespace Blinkwit {

// What the pause screen shows of the current sentence: the current word with a few words before
// it and more after it, "…" where the sentence goes on, a word too long for the window cut. The
// work is bounded by the window, however long the sentence or the word: a text without any
// sentence mark is one sentence, and a megabyte-long word is still one word.
class SentenceWindow {
public:
    // User-perceived characters of whole words before and after the current one. A word the
    // list counts as maxCountedCharacters long never fits, whatever its real length.
    static constexpr std::size_t before = 60;
    static constexpr std::size_t after = 200;
    static_assert(after < std::size_t(BlinkwitCore::TokenList::maxCountedCharacters));

    SentenceWindow() = delete;

    // tokens[first, end) is the sentence and index one of its tokens.
    static std::string around(const BlinkwitCore::TokenList& tokens, std::size_t first,
                              std::size_t end, std::size_t index);
};

} // namespace Blinkwit
