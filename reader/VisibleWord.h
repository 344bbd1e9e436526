#pragma once

#include "core/Token.h"

#include <cstddef>

namespace Blinkwit {

// The current token as a front end draws it. A word longer than any screen can show is cut,
// with "…", so that measuring and shaping it costs what can be seen rather than what the text
// holds (a megabyte-long "word" is a pasted blob). The pivot letter stays where it was: it is
// among the first five characters, and its position does not change for words this long.
class VisibleWord {
public:
    // More characters than fit beside the pivot at the smallest size the word is drawn in.
    static constexpr std::size_t longest = 400;

    VisibleWord() = delete;

    // The token with its text cut, and without its code content.
    static BlinkwitCore::Token of(const BlinkwitCore::Token& token);
};

} // namespace Blinkwit
