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

namespace Blinkwit {
namespace {

using Testing::word;

class ReaderPanelControllerTest : public ::testing::Test {
protected:
    ReaderPanelControllerTest() { controller.ensurePanel()->view()->setAnimated(false); }

    QWindow* window() const { return controller.panel()->windowHandle(); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window(), key, modifiers);
    }
    QRect availableFrame() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
    QPointF storedOrigin() const {
        return *PanelPlacement::originFromStored(
            rig.store.value(QLatin1String(ReaderPanelController::originKey)));
    }

    Testing::ReaderRig rig;
    ReaderPanelController controller{rig.engine, rig.settings};
};

TEST_F(ReaderPanelControllerTest, FirstShowCentresThePanelAndSavesItsOrigin) {
    rig.loadAndStart(Testing::sentences(1, 2, 3));
    controller.show();
    ReaderPanel* panel = controller.panel();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_TRUE(panel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(panel->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(panel->geometry().size(), QSize(640, 230));
    const QRect expected = PanelPlacement::current().frame(std::nullopt, PanelPlacement::height);
    EXPECT_EQ(panel->geometry(), expected);
    EXPECT_TRUE(controller.keyMonitorInstalled());
    EXPECT_EQ(storedOrigin(), PanelPlacement::current().coordinates().originOf(expected))
        << "the program's own move is saved too";
}

TEST_F(ReaderPanelControllerTest, ReopensWhereTheUserLeftItAndIgnoresMalformedOrigins) {
    rig.loadAndStart({word("a")});
    controller.show();
    const QRect v = availableFrame();
    controller.panel()->move(v.x() + 7, v.y() + 11);
    QCoreApplication::processEvents();
    key(Qt::Key_Escape);
    EXPECT_FALSE(controller.panel()->isVisible());
    controller.show();
    EXPECT_EQ(controller.panel()->pos(), QPoint(v.x() + 7, v.y() + 11));

    const QRect centred = PanelPlacement::current().frame(std::nullopt, PanelPlacement::height);
    for (const QVariant& bad : {QVariant(QVariantList{1.0, 2.0, 3.0}),
                                QVariant(QStringLiteral("12 40")), QVariant(QVariantList{})}) {
        controller.hide();
        rig.store.setValue(QLatin1String(ReaderPanelController::originKey), bad);
        controller.show();
        EXPECT_EQ(controller.panel()->geometry(), centred) << bad.typeName();
    }

    controller.hide();
    rig.store.setValue(QLatin1String(ReaderPanelController::originKey),
                       QVariantList{100000.0, 100000.0});
    controller.show();
    EXPECT_EQ(controller.panel()->geometry(), centred) << "off every screen";
}

TEST_F(ReaderPanelControllerTest, CodeExpansionGrowsDownwardAndShrinksBackFromAFixedTop) {
    rig.loadAndStart({Testing::codeBlock("int x;\n", "c", 1), word("after")});
    controller.show();
    const QRect before = controller.panel()->geometry();
    key(Qt::Key_Return);
    EXPECT_TRUE(rig.engine.expandedCodeVisible());
    EXPECT_EQ(controller.panel()->geometry(),
              QRect(before.topLeft(), QSize(640, PanelPlacement::expandedHeight)));
    EXPECT_EQ(controller.panel()->view()->size(), QSize(640, 470));
    key(Qt::Key_Escape);
    EXPECT_FALSE(rig.engine.expandedCodeVisible());
    EXPECT_TRUE(controller.panel()->isVisible()) << "the first Escape only collapses";
    EXPECT_EQ(controller.panel()->geometry(), before);
    EXPECT_TRUE(rig.engine.phase().is(Phase::Case::reading)) << "and resumes";

    QSignalSpy hidden(&controller, &ReaderPanelController::hidden);
    key(Qt::Key_Escape);
    EXPECT_FALSE(controller.panel()->isVisible());
    EXPECT_TRUE(rig.engine.phase().is(Phase::Case::idle));
    EXPECT_FALSE(controller.keyMonitorInstalled());
    EXPECT_EQ(hidden.count(), 1);

    controller.show();
    controller.panel()->close(); // as the window manager's close button does
    EXPECT_FALSE(controller.panel()->isVisible());
    EXPECT_FALSE(controller.keyMonitorInstalled());
    EXPECT_EQ(hidden.count(), 2);
}

TEST_F(ReaderPanelControllerTest, KeysDriveTheEngineOnlyShiftMattersAndHeldKeysRepeat) {
    rig.loadAndStart(Testing::sentences(3, 2, 4)); // sentences start every 4, paragraphs every 8
    controller.show();
    key(Qt::Key_Space);
    EXPECT_TRUE(rig.engine.phase().is(Phase::Case::paused));
    key(Qt::Key_Right);
    EXPECT_EQ(rig.engine.index(), 4);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(rig.engine.index(), 8);
    key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(rig.engine.index(), 12) << "Control+Right is Right";
    key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(rig.engine.index(), 8);
    key(Qt::Key_Left, Qt::MetaModifier | Qt::AltModifier);
    EXPECT_EQ(rig.engine.index(), 4);
    key(Qt::Key_Down);
    EXPECT_EQ(rig.engine.wpm(), 375);
    EXPECT_TRUE(rig.engine.wpmOverlayVisible());
    key(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_TRUE(rig.engine.phase().is(Phase::Case::reading));
    for (int i = 0; i < 30; ++i) { // a held key: auto-repeated presses count like single ones
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), i > 0);
        QCoreApplication::sendEvent(window(), &repeat);
    }
    EXPECT_EQ(rig.engine.wpm(), 1000);
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
    rig.loadAndStart({word("plain"), word("words")});
    controller.show();
    KeySink sink;
    controller.panel()->installEventFilter(&sink);
    controller.panel()->view()->installEventFilter(&sink);
    key(Qt::Key_Return);
    key(Qt::Key_A);
    key(Qt::Key_Space);
    EXPECT_TRUE(sink.keys.contains(Qt::Key_Return)) << "Return on a word goes on";
    EXPECT_TRUE(sink.keys.contains(Qt::Key_A));
    EXPECT_FALSE(sink.keys.contains(Qt::Key_Space)) << "handled keys are swallowed";
    EXPECT_TRUE(rig.engine.phase().is(Phase::Case::paused));

    QWidget other;
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    QTest::keyClick(other.windowHandle(), Qt::Key_Space);
    EXPECT_TRUE(rig.engine.phase().is(Phase::Case::paused)) << "a Space in another window";

    controller.hide();
    rig.loadAndStart({word("again")});
    controller.installKeyMonitor();
    controller.installKeyMonitor(); // twice keeps one monitor: one Down is one step
    key(Qt::Key_Down);
    EXPECT_EQ(rig.engine.wpm(), 375);
}

} // namespace
} // namespace Blinkwit
