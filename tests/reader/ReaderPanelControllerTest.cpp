#include "reader/ReaderPanelController.h"

#include "ReaderTestKit.h"
#include "reader/PanelPlacement.h"
#include "reader/ReaderPanel.h"
#include "reader/ReaderView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <tuple>

namespace Blinkwit {
namespace {

using Testing::word;
using Testing::words;

class ReaderPanelControllerTest : public ::testing::Test, public Testing::ReaderRig {
protected:
    ReaderPanelControllerTest() { controller.ensurePanel()->view()->setAnimated(false); }

    ReaderPanel* panel() const { return controller.panel(); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(panel()->windowHandle(), key, modifiers);
    }
    void reopenWithStored(const QVariant& origin) {
        controller.hide();
        store.setValue(QLatin1String(ReaderPanelController::originKey), origin);
        controller.show();
    }

    ReaderPanelController controller{engine, settings};
};

TEST_F(ReaderPanelControllerTest, OpensCentredThenWhereTheUserLeftItUnlessThatIsUnusable) {
    loadAndStart(words(6));
    controller.show();
    ASSERT_TRUE(panel()->isVisible());
    EXPECT_TRUE(panel()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(panel()->windowFlags().testFlag(Qt::FramelessWindowHint));
    const QRect centred = PanelPlacement::current().frame(std::nullopt, PanelPlacement::height);
    EXPECT_EQ(panel()->geometry(), centred);
    EXPECT_TRUE(controller.keyMonitorInstalled());
    EXPECT_EQ(PanelPlacement::originFromStored(
                  store.value(QLatin1String(ReaderPanelController::originKey))),
              PanelPlacement::current().coordinates().originOf(centred))
        << "the program's own move is saved too";

    const QPoint moved =
        QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(7, 11);
    panel()->move(moved);
    QCoreApplication::processEvents();
    key(Qt::Key_Escape);
    EXPECT_FALSE(panel()->isVisible());
    controller.show();
    EXPECT_EQ(panel()->pos(), moved);

    // Stored origins are parsed with cases of their own; here one of each kind must centre.
    for (const QVariant& bad :
         {QVariant(QStringLiteral("12 40")), QVariant(QVariantList{100000.0, 100000.0})}) {
        reopenWithStored(bad);
        EXPECT_EQ(panel()->geometry(), centred) << "malformed or off every screen";
    }
}

TEST_F(ReaderPanelControllerTest, CodeExpansionGrowsDownwardAndShrinksBackFromAFixedTop) {
    loadAndStart({Testing::codeBlock(), word("after", 1)});
    controller.show();
    const QRect before = panel()->geometry();
    key(Qt::Key_Return);
    EXPECT_TRUE(engine.expandedCodeVisible());
    EXPECT_EQ(panel()->geometry(), QRect(before.topLeft(), QSize(640, 470)));
    EXPECT_EQ(panel()->view()->size(), QSize(640, 470));
    key(Qt::Key_Escape);
    EXPECT_FALSE(engine.expandedCodeVisible());
    EXPECT_TRUE(panel()->isVisible()) << "the first Escape only collapses";
    EXPECT_EQ(panel()->geometry(), before);
    EXPECT_TRUE(engine.phase().is(Phase::Case::reading)) << "and resumes";

    QSignalSpy hidden(&controller, &ReaderPanelController::hidden);
    key(Qt::Key_Escape);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_TRUE(engine.phase().is(Phase::Case::idle));
    EXPECT_FALSE(controller.keyMonitorInstalled());
    controller.show();
    panel()->close(); // as the window manager's close button does
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_FALSE(controller.keyMonitorInstalled());
    EXPECT_EQ(hidden.count(), 2);
}

TEST_F(ReaderPanelControllerTest, KeysDriveTheEngineOnlyShiftMattersAndHeldKeysRepeat) {
    loadAndStart(words(24, 4, 8));
    controller.show();
    key(Qt::Key_Space);
    EXPECT_TRUE(engine.phase().is(Phase::Case::paused));
    for (auto [key_, modifiers, index] : {std::tuple{Qt::Key_Right, Qt::KeyboardModifiers(), 4},
                                          {Qt::Key_Right, Qt::ShiftModifier, 8},
                                          {Qt::Key_Right, Qt::ControlModifier, 12},
                                          {Qt::Key_Left, Qt::ShiftModifier, 8},
                                          {Qt::Key_Left, Qt::MetaModifier | Qt::AltModifier, 4}}) {
        key(key_, modifiers);
        EXPECT_EQ(engine.index(), index) << "only Shift changes an arrow's meaning";
    }
    key(Qt::Key_Down);
    EXPECT_EQ(engine.wpm(), 375);
    EXPECT_TRUE(engine.wpmOverlayVisible());
    key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(engine.phase().is(Phase::Case::reading));
    for (int i = 0; i < 30; ++i) { // a held key: auto-repeated presses count like single ones
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), i > 0);
        QCoreApplication::sendEvent(panel()->windowHandle(), &repeat);
    }
    EXPECT_EQ(engine.wpm(), 1000);
}

// Records the key presses that reach a widget.
class KeySink : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            keys << static_cast<QKeyEvent*>(event)->key();
        return false;
    }
    QList<int> keys;
};

TEST_F(ReaderPanelControllerTest, UnusedKeysArePassedOnAndOtherWindowsAreNeverTouched) {
    loadAndStart(words(2));
    controller.show();
    KeySink sink;
    panel()->installEventFilter(&sink);
    panel()->view()->installEventFilter(&sink);
    for (const Qt::Key k : {Qt::Key_Return, Qt::Key_A, Qt::Key_Space})
        key(k);
    EXPECT_TRUE(sink.keys.contains(Qt::Key_Return) && sink.keys.contains(Qt::Key_A))
        << "Return on a word and unused keys go on";
    EXPECT_FALSE(sink.keys.contains(Qt::Key_Space)) << "handled keys are swallowed";
    EXPECT_TRUE(engine.phase().is(Phase::Case::paused));

    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    QTest::keyClick(other.windowHandle(), Qt::Key_Space);
    EXPECT_TRUE(engine.phase().is(Phase::Case::paused)) << "a Space in another window";

    controller.hide();
    loadAndStart(words(1));
    controller.installKeyMonitor();
    controller.installKeyMonitor(); // twice keeps one monitor: one Down is one step
    key(Qt::Key_Down);
    EXPECT_EQ(engine.wpm(), 375);
}

} // namespace
} // namespace Blinkwit
