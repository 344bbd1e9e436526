#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace Blinkwit::KeyboardShortcuts {

// The one translation between the classic key codes and modifier bits that shortcuts are stored
// in, X keysyms and modifier masks, and Qt keys. Key codes name key positions of the classic
// layout (R = 15); the keysym is what that key produces on a US layout.
class KeyTable {
public:
    KeyTable() = delete;

    static std::optional<std::uint32_t> keysym(int carbonKeyCode);
    static std::optional<int> carbonKeyCodeForKeysym(std::uint32_t keysym);
    // Qt's key for a key event, keypad flagged separately (Qt names keypad keys like main ones).
    static std::optional<int> carbonKeyCodeForQtKey(int qtKey, bool keypad);
    // F1 to F20: the only keys that may form a shortcut without modifiers.
    static bool isFunctionKey(int carbonKeyCode);
    // The key's name in menus: a symbol for special keys, the capitalised character otherwise,
    // U+FFFD for an unknown key.
    static QString displayName(int carbonKeyCode);

    // Classic modifier bits to an X modifier mask; empty when a bit has no X counterpart
    // (the function modifier).
    static std::optional<std::uint16_t> xModifierMask(int carbonModifiers);
};

} // namespace Blinkwit::KeyboardShortcuts
