#include "KeyboardShortcuts/Modifiers.h"
#include "KeyboardShortcuts/Registry.h"
#include "platform/X11HotKeyBackend.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/X11Testing.h"

#include <QApplication>
#include <QMenu>
#include <gtest/gtest.h>
#include <iostream>
#include <sstream>

using namespace Blinkwit;
using namespace Blinkwit::KeyboardShortcuts;
using namespace Blinkwit::Testing;

namespace {

constexpr int controlShift = Modifier::control | Modifier::shift;
const char* const controlShiftMask = "5"; // ShiftMask | ControlMask

// Runs the real X11 backend on the test's X server, with xdotool as the user's keyboard.
class X11HotKeyTest : public testing::Test {
protected:
    void SetUp() override {
        if (!x11Available())
            GTEST_SKIP() << "needs an X server (run under scripts/with-display)";
        backend = X11HotKeyBackend::createForCurrentPlatform();
    }

    void TearDown() override {
        if (x11Available() && changedLayout)
            runTool("setxkbmap", {"us"});
    }

    static void type(const QString& keys) { ASSERT_TRUE(runTool("xdotool", {"key", keys})); }

    // Presses the keys, then a sentinel hot key: X keeps the order, so once the sentinel has
    // fired, anything the keys were going to run has run too.
    void typeAndSettle(Registry& registry, const QString& keys) {
        if (!sentinelReady) {
            registry.setShortcut(Shortcut{0x6F, controlShift}, sentinel);
            registry.onKeyUp(sentinel, [this] { ++sentinelCount; });
            sentinelReady = true;
        }
        const int expected = sentinelCount + 1;
        type(keys);
        type(QStringLiteral("ctrl+shift+F12"));
        ASSERT_TRUE(waitFor([&] { return sentinelCount == expected; }));
    }

    InMemoryDefaultsStore store;
    std::unique_ptr<HotKeyBackend> backend;
    std::ostringstream log;
    std::vector<QString> ran;
    const Name sentinel{QStringLiteral("sentinel"), std::nullopt};
    bool sentinelReady = false;
    int sentinelCount = 0;
    bool changedLayout = false;
};

TEST_F(X11HotKeyTest, ControlShiftRRunsReadSelectionOnReleaseAlsoWithNumLockAndCapsLockOn) {
    Registry registry(store, *backend, log);
    registry.onKeyDown(Name::readSelection(), [&] { ran.push_back("down"); });
    registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("up"); });

    typeAndSettle(registry, QStringLiteral("ctrl+shift+r"));
    EXPECT_EQ(ran, (std::vector<QString>{"down", "up"}));

    type(QStringLiteral("Num_Lock"));
    typeAndSettle(registry, QStringLiteral("ctrl+shift+r"));
    type(QStringLiteral("Caps_Lock"));
    typeAndSettle(registry, QStringLiteral("ctrl+shift+r"));
    type(QStringLiteral("Num_Lock"));
    typeAndSettle(registry, QStringLiteral("ctrl+shift+r"));
    type(QStringLiteral("Caps_Lock"));
    EXPECT_EQ(ran.size(), 8u);

    typeAndSettle(registry, QStringLiteral("ctrl+r"));
    typeAndSettle(registry, QStringLiteral("ctrl+alt+shift+r"));
    EXPECT_EQ(ran.size(), 8u);
    EXPECT_EQ(log.str(), "");
}

TEST_F(X11HotKeyTest, AComboHeldByAnotherClientFailsWithTheDiagnosticLine) {
    ChildProcess other(QStringLiteral(X11_TEST_CLIENT), {"grab", "r", controlShiftMask});
    ASSERT_EQ(other.firstLine(), QStringLiteral("ready"));

    testing::internal::CaptureStdout();
    {
        Registry registry(store, *backend, std::cout);
        registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("selection"); });
        EXPECT_EQ(registry.getShortcut(Name::readSelection()), (Shortcut{15, controlShift}));
        EXPECT_FALSE(registry.isHotKeyActive(Shortcut{15, controlShift}));
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error registering hotkey ⌃⇧R: 10\n");
}

TEST_F(X11HotKeyTest, RebindingReleasesTheOldGrab) {
    Registry registry(store, *backend, log);
    registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("selection"); });
    registry.setShortcut(Shortcut{14, controlShift}, Name::readSelection());

    ChildProcess other(QStringLiteral(X11_TEST_CLIENT), {"grab", "r", controlShiftMask});
    EXPECT_EQ(other.firstLine(), QStringLiteral("ready"));
    typeAndSettle(registry, QStringLiteral("ctrl+shift+e"));
    EXPECT_EQ(ran, std::vector<QString>{"selection"});
}

TEST_F(X11HotKeyTest, DefaultsAreWrittenOnFirstUseAndAClearedOneStaysClearedAfterARestart) {
    {
        Registry registry(store, *backend, log);
        registry.onKeyUp(Name::readClipboard(), [&] { ran.push_back("clipboard"); });
        EXPECT_EQ(store.value(Name::readClipboard().storageKey()).toString(),
                  QStringLiteral(R"({"carbonKeyCode":9,"carbonModifiers":4608})"));
        registry.setShortcut(std::nullopt, Name::readClipboard());
    }
    Registry restarted(store, *backend, log);
    restarted.onKeyUp(Name::readClipboard(), [&] { ran.push_back("clipboard"); });
    typeAndSettle(restarted, QStringLiteral("ctrl+shift+v"));
    EXPECT_TRUE(ran.empty());
    ChildProcess other(QStringLiteral(X11_TEST_CLIENT), {"grab", "v", controlShiftMask});
    EXPECT_EQ(other.firstLine(), QStringLiteral("ready"));
}

TEST_F(X11HotKeyTest, HotKeysStillWorkWhileOneOfOurMenusHoldsTheKeyboard) {
    Registry registry(store, *backend, log);
    registry.onKeyUp(Name::readSelection(), [&] { ran.push_back("selection"); });
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    menu.popup(QPoint(100, 100));
    ASSERT_TRUE(waitFor([&] { return QApplication::activePopupWidget() == &menu; }));

    type(QStringLiteral("ctrl+shift+r"));
    EXPECT_TRUE(waitFor([&] { return ran.size() == 1; }));
    EXPECT_TRUE(menu.isVisible());
    menu.close();
}

TEST_F(X11HotKeyTest, AKeyboardLayoutChangeMovesTheGrabToTheKeysNewPlace) {
    Registry registry(store, *backend, log);
    registry.setShortcut(Shortcut{0x06, controlShift}, Name::ocrRegion()); // Z
    registry.onKeyUp(Name::ocrRegion(), [&] { ran.push_back("z"); });
    typeAndSettle(registry, QStringLiteral("ctrl+shift+z"));
    ASSERT_EQ(ran.size(), 1u);

    // The German layout swaps Y and Z.
    changedLayout = true;
    ASSERT_TRUE(runTool("setxkbmap", {"de"}));
    EXPECT_TRUE(waitFor([&] {
        type(QStringLiteral("ctrl+shift+z"));
        return waitFor([&] { return ran.size() >= 2; }, 100);
    }));
    typeAndSettle(registry, QStringLiteral("ctrl+shift+y"));
    EXPECT_EQ(ran.size(), 2u);
}

TEST(UnavailableHotKeys, EveryRegistrationFailsAndTheProgramGoesOn) {
    if (x11Available())
        GTEST_SKIP() << "runs on a desktop without X11";
    auto backend = X11HotKeyBackend::createForCurrentPlatform();
    InMemoryDefaultsStore store;
    std::ostringstream log;
    Registry registry(store, *backend, log);
    registry.onKeyUp(Name::readSelection(), [] {});
    EXPECT_EQ(log.str(), "Error registering hotkey ⌃⇧R: -1\n");
}

} // namespace
