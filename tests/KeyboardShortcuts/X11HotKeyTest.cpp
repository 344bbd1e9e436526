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

void type(const QString& keys) {
    ASSERT_TRUE(runTool("xdotool", {"key", keys}));
}

// The real backend on the test's X server, with xdotool as the keyboard.
class X11HotKeyTest : public testing::Test {
protected:
    void SetUp() override {
        if (!x11Available())
            GTEST_SKIP() << "needs an X server (run under scripts/with-display)";
        registry.reset();
        backend = X11HotKeyBackend::createForCurrentPlatform();
        registry = std::make_unique<Registry>(store, *backend, log);
        // A sentinel hot key: X keeps the order of events, so once it has fired, whatever
        // the keys typed before it were going to run has run.
        registry->setShortcut(Shortcut{0x6F, controlShift}, sentinel); // F12
        registry->onKeyUp(sentinel, [this] { ++sentinels; });
    }
    void TearDown() override {
        registry.reset();
        if (changedLayout)
            runTool("setxkbmap", {"us"});
    }

    void typeAndSettle(const QString& keys) {
        const int expected = sentinels + 1;
        type(keys);
        type(QStringLiteral("ctrl+shift+F12"));
        ASSERT_TRUE(waitFor([&] { return sentinels == expected; }));
    }
    Registry::Action note(const QString& text) {
        return [this, text] { ran.push_back(text); };
    }

    InMemoryDefaultsStore store;
    std::unique_ptr<HotKeyBackend> backend;
    std::ostringstream log;
    std::unique_ptr<Registry> registry;
    const Name sentinel{QStringLiteral("sentinel"), std::nullopt};
    int sentinels = 0;
    std::vector<QString> ran;
    bool changedLayout = false;
};

TEST_F(X11HotKeyTest, ControlShiftRRunsReadSelectionOnReleaseAlsoWithNumLockAndCapsLockOn) {
    registry->onKeyDown(Name::readSelection(), note("down"));
    registry->onKeyUp(Name::readSelection(), note("up"));
    typeAndSettle(QStringLiteral("ctrl+shift+r"));
    EXPECT_EQ(ran, (std::vector<QString>{"down", "up"}));
    for (const char* lock : {"Num_Lock", "Caps_Lock", "Num_Lock", "Caps_Lock"}) {
        type(QString::fromLatin1(lock));
        typeAndSettle(QStringLiteral("ctrl+shift+r"));
    }
    typeAndSettle(QStringLiteral("ctrl+r"));
    typeAndSettle(QStringLiteral("ctrl+alt+shift+r"));
    EXPECT_EQ(ran.size(), 10u);
    EXPECT_EQ(log.str(), "");
}

TEST_F(X11HotKeyTest, AComboHeldByAnotherClientFailsWithTheDiagnosticLineOnStandardOutput) {
    ChildProcess other(QStringLiteral(X11_TEST_CLIENT), {"grab", "r", "5"}); // Shift|Control
    ASSERT_EQ(other.firstLine(), QStringLiteral("ready"));
    registry.reset();
    testing::internal::CaptureStdout();
    Registry registry(store, *backend, std::cout);
    registry.onKeyUp(Name::readSelection(), [] {});
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Error registering hotkey Ctrl+Shift+R: 10\n");
    EXPECT_EQ(registry.getShortcut(Name::readSelection()), (Shortcut{15, controlShift}));
}

TEST_F(X11HotKeyTest, RebindingReleasesTheOldGrab) {
    registry->onKeyUp(Name::readSelection(), note("selection"));
    registry->setShortcut(Shortcut{14, controlShift}, Name::readSelection());
    EXPECT_EQ(ChildProcess(X11_TEST_CLIENT, {"grab", "r", "5"}).firstLine(), "ready");
    typeAndSettle(QStringLiteral("ctrl+shift+e"));
    EXPECT_EQ(ran, std::vector<QString>{"selection"}) << log.str();
}

TEST_F(X11HotKeyTest, DefaultsAreWrittenOnFirstUseAndAClearedOneStaysClearedAfterARestart) {
    registry->onKeyUp(Name::readClipboard(), note("clipboard"));
    EXPECT_EQ(store.value(Name::readClipboard().storageKey()).toString(),
              QStringLiteral(R"({"carbonKeyCode":9,"carbonModifiers":4608})"));
    registry->setShortcut(std::nullopt, Name::readClipboard());
    SetUp(); // A new registry on the same store.
    registry->onKeyUp(Name::readClipboard(), note("clipboard"));
    typeAndSettle(QStringLiteral("ctrl+shift+v"));
    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(ChildProcess(X11_TEST_CLIENT, {"grab", "v", "5"}).firstLine(), "ready");
}

TEST_F(X11HotKeyTest, HotKeysStillWorkWhileOneOfOurMenusHoldsTheKeyboard) {
    registry->onKeyUp(Name::readSelection(), note("selection"));
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    menu.popup(QPoint(100, 100));
    ASSERT_TRUE(waitFor([&] { return QApplication::activePopupWidget() == &menu; }));
    type(QStringLiteral("ctrl+shift+r"));
    EXPECT_TRUE(waitFor([&] { return ran.size() == 1; }));
    EXPECT_TRUE(menu.isVisible());
}

TEST_F(X11HotKeyTest, AKeyboardLayoutChangeMovesTheGrabToTheKeysNewPlace) {
    registry->setShortcut(Shortcut{0x06, controlShift}, Name::ocrRegion()); // Z
    registry->onKeyUp(Name::ocrRegion(), note("z"));
    changedLayout = true;
    ASSERT_TRUE(runTool("setxkbmap", {"de"})); // Swaps Y and Z.
    EXPECT_TRUE(waitFor([&] {
        type(QStringLiteral("ctrl+shift+z"));
        return waitFor([&] { return !ran.empty(); }, 100);
    }));
    typeAndSettle(QStringLiteral("ctrl+shift+y"));
    EXPECT_EQ(ran.size(), 1u);
}

TEST(UnavailableHotKeys, EveryRegistrationFailsAndTheProgramGoesOn) {
    if (x11Available())
        GTEST_SKIP() << "runs without X11 (keyboard_shortcuts_without_x11)";
    auto backend = X11HotKeyBackend::createForCurrentPlatform();
    InMemoryDefaultsStore store;
    std::ostringstream log;
    Registry(store, *backend, log).onKeyUp(Name::readSelection(), [] {});
    EXPECT_EQ(log.str(), "Error registering hotkey Ctrl+Shift+R: -1\n");
}

} // namespace
