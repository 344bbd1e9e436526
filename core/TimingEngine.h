#pragma once

#include "Token.h"
#include "TokenList.h"

#include <cstdint>
#include <span>

namespace BlinkwitCore {

// How long each token stays on screen at a given rate in words per minute. Pure functions.
class TimingEngine {
public:
    TimingEngine() = delete;

    static constexpr double codeBlockDwell = 1.5;

    // 60 / max(wpm, 1) seconds.
    static double baseInterval(std::int64_t wpm);
    static double duration(const Token& token, std::int64_t wpm);
    // The same for the token at i, from the facts the list keeps.
    static double duration(const TokenList& tokens, std::size_t i, std::int64_t wpm);
    static double totalDuration(std::span<const Token> tokens, std::int64_t wpm);
    static double lengthFactor(std::int64_t characterCount);
};

} // namespace BlinkwitCore
