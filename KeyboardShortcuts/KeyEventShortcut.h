#pragma once

#include "Shortcut.h"

#include <optional>

class QKeyEvent;

namespace Blinkwit::KeyboardShortcuts {

class HotKeyBackend;

// Turns key events into shortcuts. The desktop names the physical key when it can (so that
// Shift+1 is still the 1 key); Qt's key code is the fallback for synthetic events.
class KeyEventShortcut {
public:
    KeyEventShortcut() = delete;

    static std::optional<int> carbonKeyCode(const QKeyEvent& event, HotKeyBackend& backend);
    static std::optional<Shortcut> fromEvent(const QKeyEvent& event, HotKeyBackend& backend);
    // Shift, Control, lock keys and the like, which only ever take part in a shortcut.
    static bool isModifierKey(int qtKey);
};

} // namespace Blinkwit::KeyboardShortcuts
