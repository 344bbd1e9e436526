#pragma once

#include "Frame.h"

#include <string>

namespace Blinkwit {

// Turns a frame into the bytes that draw it, to be written in one piece. Rows that equal the
// previous frame's are skipped; the terminal is told to hold the update until the end
// (synchronized output), so a frame never shows half drawn.
class FrameWriter {
public:
    FrameWriter() = delete;

    // previous: the frame now on screen, or nullptr when the screen content is unknown.
    static std::string render(const Frame& frame, const Frame* previous, ColorDepth depth);
    static std::string style(const CellStyle& style, ColorDepth depth);
};

} // namespace Blinkwit
