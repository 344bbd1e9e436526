#include "KeyboardShortcuts/Shortcut.h"

#include "KeyboardShortcuts/KeyTable.h"
#include "KeyboardShortcuts/Modifiers.h"
#include "KeyboardShortcuts/Name.h"

#include <gtest/gtest.h>
// After GoogleTest: X.h defines None.
#include <X11/X.h>
#include <X11/keysym.h>
#include <set>

using namespace Blinkwit::KeyboardShortcuts;

namespace {

TEST(ShortcutDescription, ShowsModifiersInFixedOrderThenTheKey) {
    EXPECT_EQ(Name::readSelection().defaultShortcut->description(), QStringLiteral("⌃⇧R"));
    EXPECT_EQ(Name::readClipboard().defaultShortcut->description(), QStringLiteral("⌃⇧V"));
    EXPECT_EQ(Name::ocrRegion().defaultShortcut->description(), QStringLiteral("⌃⇧O"));
    EXPECT_EQ((Shortcut{0x12, Modifier::all}).description(),
              QStringLiteral("⌃⌥⇧⌘🌐︎1"));
    EXPECT_EQ((Shortcut{0x7A, 0}).description(), QStringLiteral("F1"));
    EXPECT_EQ((Shortcut{0x5A, Modifier::command}).description(), QStringLiteral("⌘F20"));
    EXPECT_EQ((Shortcut{0x7E, Modifier::option}).description(), QStringLiteral("⌥↑"));
    EXPECT_EQ((Shortcut{0x2C, Modifier::control}).description(), QStringLiteral("⌃/"));
    EXPECT_EQ((Shortcut{0x53, Modifier::control}).description(), QStringLiteral("⌃Keypad 1"));
    EXPECT_EQ((Shortcut{0x7F, Modifier::control}).description(), QStringLiteral("⌃\uFFFD"));
}

TEST(ShortcutFromModifiers, KeepsOnlyTheFourShortcutModifiers) {
    const Shortcut shortcut = Shortcut::fromModifiers(
        15, Qt::ControlModifier | Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier);
    EXPECT_EQ(shortcut, (Shortcut{15, 4608}));
    EXPECT_EQ(Shortcut::fromModifiers(8, Qt::AltModifier | Qt::MetaModifier).carbonModifiers,
              Modifier::option | Modifier::command);
}

TEST(ShortcutJson, RoundTripsAndRejectsAnythingElse) {
    const Shortcut shortcut{15, 4608};
    EXPECT_EQ(shortcut.toJson(), QByteArray(R"({"carbonKeyCode":15,"carbonModifiers":4608})"));
    EXPECT_EQ(Shortcut::fromJson(shortcut.toJson()), shortcut);
    EXPECT_EQ(Shortcut::fromJson(R"({ "carbonModifiers": 256, "carbonKeyCode": 0, "x": 1 })"),
              (Shortcut{0, 256}));
    for (const char* bad : {"", "false", "null", "15", "[15,4608]", "{", R"({"carbonKeyCode":15})",
                            R"({"carbonKeyCode":15,"carbonModifiers":null})",
                            R"({"carbonKeyCode":15.5,"carbonModifiers":4608})",
                            R"({"carbonKeyCode":1e12,"carbonModifiers":4608})"})
        EXPECT_EQ(Shortcut::fromJson(bad), std::nullopt) << bad;
}

TEST(KeyTable, EveryKeyTranslatesBothWaysWithoutClashes) {
    std::set<int> codes;
    std::set<std::uint32_t> keysyms;
    for (int code = 0; code < 0x80; ++code) {
        const auto keysym = KeyTable::keysym(code);
        if (!keysym)
            continue;
        codes.insert(code);
        EXPECT_TRUE(keysyms.insert(*keysym).second) << "keysym twice: " << *keysym;
        EXPECT_EQ(KeyTable::carbonKeyCodeForKeysym(*keysym), code);
        EXPECT_EQ(
            KeyTable::carbonKeyCodeForQtKey(*KeyTable::qtKey(code), KeyTable::isKeypadKey(code)),
            code);
        EXPECT_NE(KeyTable::displayName(code), QString(QChar(0xFFFD))) << code;
    }
    // 26 letters, 10 digits, 11 punctuation keys, F1-F20, 15 special, 18 keypad keys.
    EXPECT_EQ(codes.size(), 100u);
    EXPECT_EQ(KeyTable::carbonKeyCodeForKeysym(XK_R), 15);
    EXPECT_EQ(KeyTable::carbonKeyCodeForKeysym(XK_exclam), std::nullopt);
    EXPECT_EQ(KeyTable::carbonKeyCodeForQtKey(Qt::Key_1, true), 0x53);
    EXPECT_EQ(KeyTable::carbonKeyCodeForQtKey(Qt::Key_1, false), 0x12);
}

TEST(KeyTable, FunctionKeysAreExactlyF1ToF20) {
    int functionKeys = 0;
    for (int code = 0; code < 0x80; ++code)
        if (KeyTable::isFunctionKey(code)) {
            ++functionKeys;
            EXPECT_GE(*KeyTable::keysym(code), std::uint32_t(XK_F1));
            EXPECT_LE(*KeyTable::keysym(code), std::uint32_t(XK_F20));
        }
    EXPECT_EQ(functionKeys, 20);
}

TEST(KeyTable, ModifiersMapToXMasksAndFunctionHasNone) {
    EXPECT_EQ(KeyTable::xModifierMask(4608), std::uint16_t(ControlMask | ShiftMask));
    EXPECT_EQ(KeyTable::xModifierMask(Modifier::option | Modifier::command),
              std::uint16_t(Mod1Mask | Mod4Mask));
    EXPECT_EQ(KeyTable::xModifierMask(0), std::uint16_t(0));
    EXPECT_EQ(KeyTable::xModifierMask(Modifier::control | Modifier::function), std::nullopt);
}

} // namespace
