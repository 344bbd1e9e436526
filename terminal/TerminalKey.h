#pragma once

namespace Blinkwit {

// The keys the terminal reader responds to. Other modifiers than Shift are ignored, as on the
// panel: Ctrl+Left is Left. Alt with any key is not a key here at all: it never closes the
// reader by looking like Escape.
enum class TerminalKey {
    up,
    down,
    left,
    right,
    shiftLeft,
    shiftRight,
    pageUp,
    pageDown,
    home,
    end,
    enter,
    space,
    escape,
    quit,
    interrupt,
    suspend,
    repaint,
};

// A left mouse button press or release at a cell (zero-based). Other buttons, the wheel and
// motion are not reported.
struct TerminalClick {
    bool pressed = false;
    int column = 0;
    int row = 0;

    bool operator==(const TerminalClick&) const = default;
};

} // namespace Blinkwit
