#include "KeyboardShortcuts/ShortcutRecorder.h"

#include "KeyboardShortcuts/Modifiers.h"
#include "KeyboardShortcuts/Registry.h"
#include "platform/X11HotKeyBackend.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/X11Testing.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <sstream>

using namespace Blinkwit;
using namespace Blinkwit::KeyboardShortcuts;
using namespace Blinkwit::Testing;

namespace {

constexpr int controlShift = Modifier::control | Modifier::shift;
const Shortcut controlShiftR{15, controlShift};
const Shortcut controlOptionK{40, Modifier::control | Modifier::option};

// The recorder in a window of its own, fed real key events by xdotool.
class ShortcutRecorderTest : public testing::Test {
protected:
    void SetUp() override {
        if (!x11Available())
            GTEST_SKIP() << "needs an X server (run under scripts/with-display)";
        backend = X11HotKeyBackend::createForCurrentPlatform();
        registry = std::make_unique<Registry>(store, *backend, log);
        QObject::connect(registry.get(), &Registry::recorderActiveStatusDidChange,
                         [this](bool active) { statuses.push_back(active); });
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        recorder = new ShortcutRecorder(*registry, name, window.get());
        next = new QLineEdit(window.get());
        outside = new QPushButton(QStringLiteral("Elsewhere"), window.get());
        outside->setFocusPolicy(Qt::NoFocus);
        for (QWidget* widget : {static_cast<QWidget*>(recorder), static_cast<QWidget*>(next),
                                static_cast<QWidget*>(outside)})
            layout->addWidget(widget);
        recorder->setBeeper([this] { ++beeps; });
        QObject::connect(recorder, &ShortcutRecorder::shortcutChanged, [this] { ++changes; });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(waitFor([&] { return window->isActiveWindow(); }));
        startRecording();
    }

    void TearDown() override { window.reset(); }

    void startRecording() {
        recorder->setFocus();
        ASSERT_TRUE(waitFor([&] { return recorder->isCapturing(); }));
    }

    // Types keys and waits for their effect: every key a test types either beeps, opens an
    // alert or ends the recording.
    void type(const QString& keys) {
        const int beepsBefore = beeps;
        ASSERT_TRUE(runTool("xdotool", {"key", keys}));
        ASSERT_TRUE(
            waitFor([&] { return beeps != beepsBefore || alert() || !recorder->isCapturing(); }));
    }

    QMessageBox* alert() const { return window->findChild<QMessageBox*>(); }

    QMessageBox* waitForAlert() const {
        waitFor([&] { return alert() && alert()->isVisible(); });
        return alert();
    }

    void answer(QMessageBox* box, QMessageBox::ButtonRole role) {
        for (QAbstractButton* button : box->buttons())
            if (box->buttonRole(button) == role) {
                button->click();
                break;
            }
        ASSERT_TRUE(waitFor([&] { return !alert(); }));
    }

    InMemoryDefaultsStore store;
    std::unique_ptr<HotKeyBackend> backend;
    std::ostringstream log;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<QWidget> window;
    const Name name = Name::readSelection();
    ShortcutRecorder* recorder = nullptr;
    QLineEdit* next = nullptr;
    QPushButton* outside = nullptr;
    std::vector<bool> statuses;
    int beeps = 0;
    int changes = 0;
};

TEST_F(ShortcutRecorderTest, ACombinationIsStoredShownAndEndsRecording) {
    EXPECT_EQ(recorder->text(), QString());
    type(QStringLiteral("ctrl+alt+k"));
    ASSERT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    EXPECT_EQ(registry->getShortcut(name), controlOptionK);
    EXPECT_EQ(recorder->text(), QStringLiteral("⌃⌥K"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(statuses, (std::vector<bool>{true, false}));
    EXPECT_FALSE(recorder->hasFocus());
}

TEST_F(ShortcutRecorderTest, WhileRecordingTheProgramsHotKeysReachTheRecorder) {
    recorder->clearFocus();
    ASSERT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    int fired = 0;
    registry->onKeyUp(Name::readClipboard(), [&] { ++fired; });
    startRecording();

    type(QStringLiteral("ctrl+shift+v"));
    ASSERT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    EXPECT_EQ(registry->getShortcut(name), (Shortcut{9, controlShift}));
    EXPECT_EQ(fired, 0);
    ASSERT_TRUE(runTool("xdotool", {"key", "ctrl+shift+v"}));
    EXPECT_TRUE(waitFor([&] { return fired == 1; }));
}

TEST_F(ShortcutRecorderTest, TabMovesOnAndEscapeStopsWithoutChangingAnything) {
    type(QStringLiteral("Tab"));
    ASSERT_TRUE(waitFor([&] { return next->hasFocus(); }));
    EXPECT_FALSE(recorder->isCapturing());
    startRecording();
    type(QStringLiteral("Escape"));
    ASSERT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    EXPECT_EQ(registry->getShortcut(name), controlShiftR);
    EXPECT_EQ(recorder->text(), QStringLiteral("⌃⇧R"));
    EXPECT_EQ(changes, 0);
}

TEST_F(ShortcutRecorderTest, BackspaceAndDeleteClearTheShortcut) {
    type(QStringLiteral("BackSpace"));
    ASSERT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    EXPECT_EQ(registry->getShortcut(name), std::nullopt);
    EXPECT_EQ(store.value(name.storageKey()), QVariant(false));
    EXPECT_EQ(recorder->text(), QString());

    registry->setShortcut(controlShiftR, name);
    EXPECT_EQ(recorder->text(), QStringLiteral("⌃⇧R"));
    startRecording();
    type(QStringLiteral("Delete"));
    ASSERT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    EXPECT_EQ(registry->getShortcut(name), std::nullopt);
    EXPECT_EQ(changes, 2);
}

TEST_F(ShortcutRecorderTest, KeysWithoutModifiersBeepExceptFunctionKeys) {
    type(QStringLiteral("a"));
    type(QStringLiteral("shift+a"));
    type(QStringLiteral("Return"));
    type(QStringLiteral("shift+1"));
    EXPECT_EQ(beeps, 4);
    EXPECT_TRUE(recorder->isCapturing());
    EXPECT_EQ(registry->getShortcut(name), controlShiftR);

    type(QStringLiteral("ctrl+shift+1")); // Shifted digits are still the digit key.
    ASSERT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    EXPECT_EQ(registry->getShortcut(name)->description(), QStringLiteral("⌃⇧1"));

    startRecording();
    type(QStringLiteral("F5"));
    ASSERT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    EXPECT_EQ(registry->getShortcut(name), (Shortcut{0x60, 0}));
}

TEST_F(ShortcutRecorderTest, AClickOutsideTheFieldStopsRecording) {
    const QPoint target = outside->mapToGlobal(outside->rect().center());
    ASSERT_TRUE(runTool("xdotool", {"mousemove", QString::number(target.x()),
                                    QString::number(target.y()), "click", "1"}));
    ASSERT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    EXPECT_EQ(registry->getShortcut(name), controlShiftR);
}

TEST_F(ShortcutRecorderTest, AKeyOfOneOfOurMenusIsRefusedWithItsTitle) {
    QMenu menu;
    menu.addAction(QStringLiteral("&Mirror Text"))->setShortcut(QKeySequence("Ctrl+Shift+M"));
    type(QStringLiteral("ctrl+shift+m"));
    QMessageBox* box = waitForAlert();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->text().contains(QStringLiteral("“Mirror Text”"))) << box->text().toStdString();
    answer(box, QMessageBox::AcceptRole);
    EXPECT_TRUE(waitFor([&] { return recorder->hasFocus(); }));
    EXPECT_TRUE(recorder->isCapturing());
    EXPECT_EQ(registry->getShortcut(name), controlShiftR);
    EXPECT_EQ(statuses, std::vector<bool>{true});
}

TEST_F(ShortcutRecorderTest, AComboAnotherProgramHoldsNeedsConfirmation) {
    // The other client grabs only the plain variant: with NumLock on, the keys pass it by
    // and reach us (a combination grabbed in every variant never reaches the recorder).
    ChildProcess other(QStringLiteral(X11_TEST_CLIENT), {"grab", "k", "12"}); // Control|Mod1
    ASSERT_EQ(other.firstLine(), QStringLiteral("ready"));
    ASSERT_TRUE(runTool("xdotool", {"key", "Num_Lock"}));
    struct NumLockOff {
        ~NumLockOff() { runTool("xdotool", {"key", "Num_Lock"}); }
    } numLockOff;

    type(QStringLiteral("ctrl+alt+k"));
    QMessageBox* box = waitForAlert();
    ASSERT_TRUE(box);
    answer(box, QMessageBox::RejectRole);
    EXPECT_TRUE(waitFor([&] { return recorder->hasFocus(); }));
    EXPECT_EQ(registry->getShortcut(name), controlShiftR);

    type(QStringLiteral("ctrl+alt+k"));
    box = waitForAlert();
    ASSERT_TRUE(box);
    answer(box, QMessageBox::AcceptRole);
    EXPECT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));
    EXPECT_EQ(registry->getShortcut(name), controlOptionK);
}

} // namespace
