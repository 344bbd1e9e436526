#pragma once

#include "core/Token.h"
#include "reader/Phase.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Blinkwit {

class ReaderEngine;

// What one terminal frame shows: the engine's published state and derived values at one moment,
// plus the scroll position of an expanded code block, which belongs to the terminal alone.
struct ReaderSnapshot {
    Phase phase;
    std::optional<BlinkwitCore::Token> current;
    std::int64_t tokenCount = 0;
    int wpm = 400;
    bool wpmOverlayVisible = false;
    bool expandedCodeVisible = false;
    double progress = 0.0;
    std::string remainingLabel;
    // The current sentence; filled only while paused, the one phase that shows it.
    std::string sentence;
    int codeLine = 0;
    int codeColumn = 0;

    static ReaderSnapshot of(const ReaderEngine& engine, int codeLine, int codeColumn);
};

} // namespace Blinkwit
