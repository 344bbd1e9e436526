#include "KeyTable.h"

#include "Modifiers.h"

#include <Qt>
#include <X11/X.h>
#include <X11/keysym.h>
#include <array>
#include <iterator>

namespace Blinkwit::KeyboardShortcuts {

namespace {

enum class Kind : std::uint8_t { character, function, special, keypad };

struct Key {
    int carbonKeyCode;
    std::uint32_t keysym;
    int qtKey;
    Kind kind;
    const char* symbol; // Display name of non-character keys (UTF-8).
};

constexpr Key character(int code, std::uint32_t keysym, int qtKey) {
    return {code, keysym, qtKey, Kind::character, nullptr};
}

constexpr Key function(int code, int number) {
    return {code, std::uint32_t(XK_F1 + number - 1), Qt::Key_F1 + number - 1, Kind::function,
            nullptr};
}

constexpr Key keypad(int code, std::uint32_t keysym, int qtKey, const char* symbol) {
    return {code, keysym, qtKey, Kind::keypad, symbol};
}

constexpr Key special(int code, std::uint32_t keysym, int qtKey, const char* symbol) {
    return {code, keysym, qtKey, Kind::special, symbol};
}

constexpr std::array keys{
    character(0x00, XK_a, Qt::Key_A),
    character(0x0B, XK_b, Qt::Key_B),
    character(0x08, XK_c, Qt::Key_C),
    character(0x02, XK_d, Qt::Key_D),
    character(0x0E, XK_e, Qt::Key_E),
    character(0x03, XK_f, Qt::Key_F),
    character(0x05, XK_g, Qt::Key_G),
    character(0x04, XK_h, Qt::Key_H),
    character(0x22, XK_i, Qt::Key_I),
    character(0x26, XK_j, Qt::Key_J),
    character(0x28, XK_k, Qt::Key_K),
    character(0x25, XK_l, Qt::Key_L),
    character(0x2E, XK_m, Qt::Key_M),
    character(0x2D, XK_n, Qt::Key_N),
    character(0x1F, XK_o, Qt::Key_O),
    character(0x23, XK_p, Qt::Key_P),
    character(0x0C, XK_q, Qt::Key_Q),
    character(0x0F, XK_r, Qt::Key_R),
    character(0x01, XK_s, Qt::Key_S),
    character(0x11, XK_t, Qt::Key_T),
    character(0x20, XK_u, Qt::Key_U),
    character(0x09, XK_v, Qt::Key_V),
    character(0x0D, XK_w, Qt::Key_W),
    character(0x07, XK_x, Qt::Key_X),
    character(0x10, XK_y, Qt::Key_Y),
    character(0x06, XK_z, Qt::Key_Z),
    character(0x1D, XK_0, Qt::Key_0),
    character(0x12, XK_1, Qt::Key_1),
    character(0x13, XK_2, Qt::Key_2),
    character(0x14, XK_3, Qt::Key_3),
    character(0x15, XK_4, Qt::Key_4),
    character(0x17, XK_5, Qt::Key_5),
    character(0x16, XK_6, Qt::Key_6),
    character(0x1A, XK_7, Qt::Key_7),
    character(0x1C, XK_8, Qt::Key_8),
    character(0x19, XK_9, Qt::Key_9),
    character(0x18, XK_equal, Qt::Key_Equal),
    character(0x1B, XK_minus, Qt::Key_Minus),
    character(0x1E, XK_bracketright, Qt::Key_BracketRight),
    character(0x21, XK_bracketleft, Qt::Key_BracketLeft),
    character(0x27, XK_apostrophe, Qt::Key_Apostrophe),
    character(0x29, XK_semicolon, Qt::Key_Semicolon),
    character(0x2A, XK_backslash, Qt::Key_Backslash),
    character(0x2B, XK_comma, Qt::Key_Comma),
    character(0x2C, XK_slash, Qt::Key_Slash),
    character(0x2F, XK_period, Qt::Key_Period),
    character(0x32, XK_grave, Qt::Key_QuoteLeft),
    function(0x7A, 1),
    function(0x78, 2),
    function(0x63, 3),
    function(0x76, 4),
    function(0x60, 5),
    function(0x61, 6),
    function(0x62, 7),
    function(0x64, 8),
    function(0x65, 9),
    function(0x6D, 10),
    function(0x67, 11),
    function(0x6F, 12),
    function(0x69, 13),
    function(0x6B, 14),
    function(0x71, 15),
    function(0x6A, 16),
    function(0x40, 17),
    function(0x4F, 18),
    function(0x50, 19),
    function(0x5A, 20),
    special(0x24, XK_Return, Qt::Key_Return, "↩"),
    special(0x30, XK_Tab, Qt::Key_Tab, "⇥"),
    special(0x31, XK_space, Qt::Key_Space, "Space"),
    special(0x33, XK_BackSpace, Qt::Key_Backspace, "⌫"),
    special(0x35, XK_Escape, Qt::Key_Escape, "⎋"),
    special(0x75, XK_Delete, Qt::Key_Delete, "⌦"),
    special(0x72, XK_Insert, Qt::Key_Insert, "Ins"),
    special(0x73, XK_Home, Qt::Key_Home, "↖"),
    special(0x77, XK_End, Qt::Key_End, "↘"),
    special(0x74, XK_Page_Up, Qt::Key_PageUp, "⇞"),
    special(0x79, XK_Page_Down, Qt::Key_PageDown, "⇟"),
    special(0x7B, XK_Left, Qt::Key_Left, "←"),
    special(0x7C, XK_Right, Qt::Key_Right, "→"),
    special(0x7D, XK_Down, Qt::Key_Down, "↓"),
    special(0x7E, XK_Up, Qt::Key_Up, "↑"),
    keypad(0x52, XK_KP_0, Qt::Key_0, "Keypad 0"),
    keypad(0x53, XK_KP_1, Qt::Key_1, "Keypad 1"),
    keypad(0x54, XK_KP_2, Qt::Key_2, "Keypad 2"),
    keypad(0x55, XK_KP_3, Qt::Key_3, "Keypad 3"),
    keypad(0x56, XK_KP_4, Qt::Key_4, "Keypad 4"),
    keypad(0x57, XK_KP_5, Qt::Key_5, "Keypad 5"),
    keypad(0x58, XK_KP_6, Qt::Key_6, "Keypad 6"),
    keypad(0x59, XK_KP_7, Qt::Key_7, "Keypad 7"),
    keypad(0x5B, XK_KP_8, Qt::Key_8, "Keypad 8"),
    keypad(0x5C, XK_KP_9, Qt::Key_9, "Keypad 9"),
    keypad(0x41, XK_KP_Decimal, Qt::Key_Period, "Keypad ."),
    keypad(0x43, XK_KP_Multiply, Qt::Key_Asterisk, "Keypad *"),
    keypad(0x45, XK_KP_Add, Qt::Key_Plus, "Keypad +"),
    keypad(0x4B, XK_KP_Divide, Qt::Key_Slash, "Keypad /"),
    keypad(0x4E, XK_KP_Subtract, Qt::Key_Minus, "Keypad -"),
    keypad(0x51, XK_KP_Equal, Qt::Key_Equal, "Keypad ="),
    keypad(0x4C, XK_KP_Enter, Qt::Key_Enter, "⌤"),
    keypad(0x47, XK_Clear, Qt::Key_Clear, "⌧"),
};

const Key* find(auto matches) {
    for (const Key& key : keys)
        if (matches(key))
            return &key;
    return nullptr;
}

const Key* byCode(int carbonKeyCode) {
    return find([&](const Key& key) { return key.carbonKeyCode == carbonKeyCode; });
}

} // namespace

std::optional<std::uint32_t> KeyTable::keysym(int carbonKeyCode) {
    const Key* key = byCode(carbonKeyCode);
    return key ? std::optional(key->keysym) : std::nullopt;
}

std::optional<int> KeyTable::carbonKeyCodeForKeysym(std::uint32_t keysym) {
    // Shifted letters arrive as capitals; they are the same key.
    if (keysym >= XK_A && keysym <= XK_Z)
        keysym += XK_a - XK_A;
    const Key* key = find([&](const Key& candidate) { return candidate.keysym == keysym; });
    return key ? std::optional(key->carbonKeyCode) : std::nullopt;
}

std::optional<int> KeyTable::carbonKeyCodeForQtKey(int qtKey, bool keypad) {
    const Key* key = find([&](const Key& candidate) {
        return candidate.qtKey == qtKey && (candidate.kind == Kind::keypad) == keypad;
    });
    return key ? std::optional(key->carbonKeyCode) : std::nullopt;
}

bool KeyTable::isFunctionKey(int carbonKeyCode) {
    const Key* key = byCode(carbonKeyCode);
    return key && key->kind == Kind::function;
}

QString KeyTable::displayName(int carbonKeyCode) {
    const Key* key = byCode(carbonKeyCode);
    if (!key)
        return QString(QChar(0xFFFD));
    switch (key->kind) {
    case Kind::character:
        // Latin-1 keysyms equal their code points.
        return QString(QChar(char16_t(key->keysym))).toUpper();
    case Kind::function:
        return QStringLiteral("F%1").arg(key->keysym - XK_F1 + 1);
    case Kind::special:
    case Kind::keypad:
        return QString::fromUtf8(key->symbol);
    }
    return QString(QChar(0xFFFD));
}

std::optional<std::uint16_t> KeyTable::xModifierMask(int carbonModifiers) {
    if (carbonModifiers & Modifier::function)
        return std::nullopt;
    std::uint16_t mask = 0;
    if (carbonModifiers & Modifier::control)
        mask |= ControlMask;
    if (carbonModifiers & Modifier::option)
        mask |= Mod1Mask;
    if (carbonModifiers & Modifier::shift)
        mask |= ShiftMask;
    if (carbonModifiers & Modifier::command)
        mask |= Mod4Mask;
    return mask;
}

} // namespace Blinkwit::KeyboardShortcuts
