#pragma once

namespace Blinkwit {

// The keys the terminal reader responds to. Other modifiers than Shift are ignored, as on the
// panel: Ctrl+Left is Left.
enum class TerminalKey {
    up,
    down,
    left,
    right,
    shiftLeft,
    shiftRight,
    enter,
    space,
    escape,
    quit,
    interrupt,
    suspend,
};

} // namespace Blinkwit
