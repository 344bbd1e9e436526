#pragma once

#include "core/Token.h"
#include "reader/Phase.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Blinkwit {

class CodeLines;
class ReaderEngine;

// What one terminal frame shows: the engine's published state and derived values at one moment,
// plus the expanded code block and its scroll position, which belong to the terminal alone.
// Nothing in it grows with the text: the word is cut to what a screen can show, the sentence to
// its window around the word.
struct ReaderSnapshot {
    Phase phase;
    // As drawn (see VisibleWord): without its code content.
    std::optional<BlinkwitCore::Token> current;
    std::int64_t tokenCount = 0;
    int wpm = 400;
    bool wpmOverlayVisible = false;
    bool expandedCodeVisible = false;
    double progress = 0.0;
    std::string remainingLabel;
    // The current sentence around the word; filled only while paused, the one phase that shows
    // it.
    std::string sentence;
    // The lines of the expanded code block, while one is expanded.
    std::shared_ptr<const CodeLines> code;
    int codeLine = 0;
    int codeColumn = 0;

    static ReaderSnapshot of(const ReaderEngine& engine, std::shared_ptr<const CodeLines> code,
                             int codeLine, int codeColumn);
};

} // namespace Blinkwit
