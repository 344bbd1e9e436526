#include "KeyboardShortcuts/Shortcut.h"

#include "KeyboardShortcuts/KeyTable.h"
#include "KeyboardShortcuts/Modifiers.h"

#include <gtest/gtest.h>
// After GoogleTest: X.h defines None.
#include <X11/X.h>
#include <X11/keysym.h>
#include <set>

using namespace Blinkwit::KeyboardShortcuts;

namespace {

TEST(Shortcut, DescriptionShowsModifiersInFixedOrderThenTheKey) {
    for (const auto& [shortcut, text] :
         {std::pair{Shortcut{15, Modifier::control | Modifier::shift}, "Ctrl+Shift+R"},
          {Shortcut{0x12, Modifier::all}, "Ctrl+Alt+Shift+Super+Fn+1"},
          {Shortcut{0x5A, Modifier::command}, "Super+F20"},
          {Shortcut{0x7E, Modifier::option}, "Alt+↑"},
          {Shortcut{0x2C, 0}, "/"},
          {Shortcut{0x7F, 0}, "\uFFFD"}})
        EXPECT_EQ(shortcut.description(), QString::fromUtf8(text));
    EXPECT_EQ(Shortcut::fromModifiers(8, Qt::AltModifier | Qt::MetaModifier | Qt::KeypadModifier),
              (Shortcut{8, Modifier::option | Modifier::command}));
}

TEST(Shortcut, JsonRoundTripsAndAnythingElseDecodesToNothing) {
    EXPECT_EQ((Shortcut{15, 4608}).toJson(),
              QByteArray(R"({"carbonKeyCode":15,"carbonModifiers":4608})"));
    EXPECT_EQ(Shortcut::fromJson(R"({"carbonModifiers": 256, "carbonKeyCode": 0, "x": 1})"),
              (Shortcut{0, 256}));
    for (const char* bad : {"", "false", "[15,4608]", R"({"carbonKeyCode":15})",
                            R"({"carbonKeyCode":15,"carbonModifiers":null})",
                            R"({"carbonKeyCode":15.5,"carbonModifiers":0})",
                            R"({"carbonKeyCode":1e12,"carbonModifiers":0})"})
        EXPECT_EQ(Shortcut::fromJson(bad), std::nullopt) << bad;
}

TEST(KeyTable, EveryKeyTranslatesBothWaysWithoutClashes) {
    std::set<std::uint32_t> keysyms;
    int functionKeys = 0;
    for (int code = 0; code < 0x80; ++code) {
        const auto keysym = KeyTable::keysym(code);
        if (!keysym)
            continue;
        EXPECT_TRUE(keysyms.insert(*keysym).second) << "keysym twice: " << *keysym;
        EXPECT_EQ(KeyTable::carbonKeyCodeForKeysym(*keysym), code);
        functionKeys += KeyTable::isFunctionKey(code);
    }
    // Letters, digits, 11 punctuation keys, F1-F20, 15 special and 18 keypad keys.
    EXPECT_EQ(keysyms.size(), 100u);
    EXPECT_EQ(functionKeys, 20);
    EXPECT_EQ(KeyTable::carbonKeyCodeForKeysym(XK_R), 15);
    EXPECT_EQ(KeyTable::carbonKeyCodeForQtKey(Qt::Key_R, false), 15);
    EXPECT_EQ(KeyTable::carbonKeyCodeForQtKey(Qt::Key_1, true), 0x53);
    EXPECT_EQ(KeyTable::carbonKeyCodeForQtKey(Qt::Key_QuoteLeft, false), 0x32);
    EXPECT_EQ(KeyTable::carbonKeyCodeForQtKey(Qt::Key_F20, false), 0x5A);
    EXPECT_EQ(KeyTable::xModifierMask(4608), std::uint16_t(ControlMask | ShiftMask));
    EXPECT_EQ(KeyTable::xModifierMask(Modifier::option | Modifier::command),
              std::uint16_t(Mod1Mask | Mod4Mask));
    EXPECT_EQ(KeyTable::xModifierMask(Modifier::control | Modifier::function), std::nullopt);
}

} // namespace
