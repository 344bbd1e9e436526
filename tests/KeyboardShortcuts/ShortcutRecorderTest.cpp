#include "KeyboardShortcuts/ShortcutRecorder.h"

#include "KeyboardShortcuts/Modifiers.h"
#include "KeyboardShortcuts/Registry.h"
#include "platform/X11HotKeyBackend.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/X11Testing.h"

#include <QAbstractButton>
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

const Shortcut ctrlShiftR{15, Modifier::control | Modifier::shift};
const Shortcut ctrlOptK{40, Modifier::control | Modifier::option};

// The recorder for readSelection in a window of its own, fed real key events by xdotool.
class ShortcutRecorderTest : public testing::Test {
protected:
    void SetUp() override {
        if (!x11Available())
            GTEST_SKIP() << "needs an X server (run under scripts/with-display)";
        backend = X11HotKeyBackend::createForCurrentPlatform();
        registry = std::make_unique<Registry>(store, *backend, log);
        QObject::connect(registry.get(), &Registry::recorderActiveStatusDidChange,
                         [this](bool active) { statuses.push_back(active); });
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(recorder = new ShortcutRecorder(*registry, name));
        layout->addWidget(next = new QLineEdit);
        layout->addWidget(outside = new QPushButton(QStringLiteral("Elsewhere")));
        outside->setFocusPolicy(Qt::NoFocus);
        recorder->setBeeper([this] { ++beeps; });
        QObject::connect(recorder, &ShortcutRecorder::shortcutChanged, [this] { ++changes; });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(waitFor([&] { return window.isActiveWindow(); }));
        record();
    }
    void TearDown() override {
        delete window.layout();
        qDeleteAll(window.children());
    }

    void record() {
        recorder->setFocus();
        ASSERT_TRUE(waitFor([&] { return recorder->isCapturing(); }));
    }
    // Every key a test types beeps, opens an alert or ends the recording: wait for that.
    void type(const QString& keys) {
        const int before = beeps;
        ASSERT_TRUE(runTool("xdotool", {"key", keys}));
        ASSERT_TRUE(
            waitFor([&] { return beeps != before || alert() || !recorder->isCapturing(); }));
    }
    QMessageBox* alert() const { return window.findChild<QMessageBox*>(); }
    void answer(QMessageBox::ButtonRole role) {
        ASSERT_TRUE(waitFor([&] { return alert() && alert()->isVisible(); }));
        for (QAbstractButton* button : alert()->buttons())
            if (alert()->buttonRole(button) == role)
                button->click();
        ASSERT_TRUE(waitFor([&] { return !alert(); }));
    }

    InMemoryDefaultsStore store;
    std::unique_ptr<HotKeyBackend> backend;
    std::ostringstream log;
    std::unique_ptr<Registry> registry;
    QWidget window;
    const Name name = Name::readSelection();
    ShortcutRecorder* recorder = nullptr;
    QLineEdit* next = nullptr;
    QPushButton* outside = nullptr;
    std::vector<bool> statuses;
    int beeps = 0, changes = 0;
};

TEST_F(ShortcutRecorderTest, ACombinationIsStoredAndShownAndOurHotKeysPauseMeanwhile) {
    recorder->clearFocus();
    int fired = 0;
    registry->onKeyUp(Name::readClipboard(), [&] { ++fired; });
    record();
    EXPECT_EQ(recorder->text(), QString());
    type(QStringLiteral("ctrl+shift+v"));
    EXPECT_EQ(registry->getShortcut(name), (Shortcut{9, ctrlShiftR.carbonModifiers}));
    EXPECT_EQ(recorder->text(), QStringLiteral("Ctrl+Shift+V"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(statuses, (std::vector<bool>{true, false, true, false}));
    ASSERT_TRUE(runTool("xdotool", {"key", "ctrl+shift+v"}));
    EXPECT_TRUE(waitFor([&] { return fired == 1; }));
}

TEST_F(ShortcutRecorderTest, TabMovesOnEscapeOrAClickOutsideStopsBackspaceOrDeleteClear) {
    type(QStringLiteral("Tab"));
    EXPECT_TRUE(waitFor([&] { return next->hasFocus(); }));
    record();
    type(QStringLiteral("Escape"));
    EXPECT_EQ(registry->getShortcut(name), ctrlShiftR);
    EXPECT_EQ(recorder->text(), QStringLiteral("Ctrl+Shift+R"));
    EXPECT_EQ(changes, 0);
    record();
    const QPoint target = outside->mapToGlobal(outside->rect().center());
    ASSERT_TRUE(runTool("xdotool", {"mousemove", QString::number(target.x()),
                                    QString::number(target.y()), "click", "1"}));
    EXPECT_TRUE(waitFor([&] { return !recorder->isCapturing(); }));

    for (const char* key : {"BackSpace", "Delete"}) {
        registry->setShortcut(ctrlShiftR, name);
        record();
        type(QString::fromLatin1(key));
        EXPECT_EQ(store.value(name.storageKey()), QVariant(false)) << key;
        EXPECT_EQ(recorder->text(), QString());
    }
    EXPECT_EQ(changes, 2);
}

TEST_F(ShortcutRecorderTest, KeysWithoutModifiersOrWithShiftAloneBeepExceptFunctionKeys) {
    for (const char* key : {"a", "shift+a", "Return", "shift+1"})
        type(QString::fromLatin1(key));
    EXPECT_EQ(beeps, 4);
    EXPECT_TRUE(recorder->isCapturing());
    type(QStringLiteral("ctrl+shift+1")); // Shifted digits are still the digit key.
    EXPECT_EQ(registry->getShortcut(name)->description(), QStringLiteral("Ctrl+Shift+1"));
    record();
    type(QStringLiteral("F5"));
    EXPECT_EQ(registry->getShortcut(name), (Shortcut{0x60, 0}));
}

TEST_F(ShortcutRecorderTest, AKeyOfOneOfOurMenusIsRefusedNamingTheItem) {
    QMenu menu;
    menu.addAction(QStringLiteral("&Mirror Text"))->setShortcut(QKeySequence("Ctrl+Shift+M"));
    type(QStringLiteral("ctrl+shift+m"));
    ASSERT_TRUE(alert());
    EXPECT_TRUE(alert()->text().contains(QStringLiteral("“Mirror Text”")));
    answer(QMessageBox::AcceptRole);
    EXPECT_TRUE(waitFor([&] { return recorder->hasFocus(); }));
    EXPECT_TRUE(recorder->isCapturing());
    EXPECT_EQ(registry->getShortcut(name), ctrlShiftR);
}

TEST_F(ShortcutRecorderTest, AComboAnotherProgramHoldsIsTakenOnlyWhenConfirmed) {
    // The other client grabs only the plain variant: with NumLock on the keys pass it by and
    // reach us (a combination grabbed in every variant never reaches the recorder at all).
    ChildProcess other(QStringLiteral(X11_TEST_CLIENT), {"grab", "k", "12"}); // Control|Mod1
    ASSERT_EQ(other.firstLine(), QStringLiteral("ready"));
    ASSERT_TRUE(runTool("xdotool", {"key", "Num_Lock"}));
    struct NumLockOff {
        ~NumLockOff() { runTool("xdotool", {"key", "Num_Lock"}); }
    } numLockOff;

    type(QStringLiteral("ctrl+alt+k"));
    answer(QMessageBox::RejectRole);
    ASSERT_TRUE(waitFor([&] { return recorder->hasFocus(); }));
    EXPECT_EQ(registry->getShortcut(name), ctrlShiftR);
    type(QStringLiteral("ctrl+alt+k"));
    answer(QMessageBox::AcceptRole);
    EXPECT_EQ(registry->getShortcut(name), ctrlOptK);
}

} // namespace
