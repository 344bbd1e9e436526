#include "app/OverlayWindow.h"
#include "app/RegionSelectionController.h"
#include "app/SelectionView.h"
#include "tests/reader/ReaderTestKit.h"
#include "tests/support/ManualScheduler.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <gtest/gtest.h>

// The overlays on Qt's offscreen platform with two displays of different sizes (and, in a second
// run, at a scale factor of 2): one per display, the dragged rectangle in desktop points.

namespace Blinkwit {
namespace {

void mouse(QWidget& view, QEvent::Type type, QPointF at) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &event);
}

void drag(QWidget& view, QPointF from, QPointF to) {
    mouse(view, QEvent::MouseButtonPress, from);
    mouse(view, QEvent::MouseMove, (from + to) / 2);
    mouse(view, QEvent::MouseButtonRelease, to);
}

class RegionSelectionTest : public testing::Test {
protected:
    void begin() {
        controller.begin([this](std::optional<QRectF> rect) {
            ++reports;
            reported = rect;
        });
    }
    SelectionView& view(int display) { return *controller.windows().at(display)->view(); }

    Testing::ManualScheduler scheduler;
    RegionSelectionController controller{scheduler};
    int reports = 0;
    std::optional<QRectF> reported;
};

TEST_F(RegionSelectionTest, OneOverlayPerDisplayAndTheDragInDesktopPoints) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    begin();
    ASSERT_EQ(controller.windows().size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(controller.windows()[i]->geometry(), screens[i]->geometry());
        EXPECT_EQ(view(i).cursor().shape(), Qt::CrossCursor);
    }
    bool secondCalled = false;
    controller.begin([&](std::optional<QRectF>) { secondCalled = true; });
    EXPECT_EQ(controller.windows().size(), 2u) << "a second begin is ignored";

    drag(view(1), {100, 100}, {40, 300});
    const QPointF side = screens[1]->geometry().topLeft();
    EXPECT_EQ(reported, QRectF(side + QPointF(40, 100), QSizeF(60, 200)));
    EXPECT_TRUE(controller.windows().empty());
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(secondCalled);
}

TEST_F(RegionSelectionTest, SmallDragsEscapeAndAChangedSetOfDisplaysReportNothing) {
    for (const auto& [size, accepted] :
         {std::pair{QSizeF(6, 50), false}, {QSizeF(50, 6), false}, {QSizeF(6.5, 6.5), true}}) {
        begin();
        drag(view(0), {200, 200}, QPointF(200, 200) + QPointF(size.width(), size.height()));
        EXPECT_EQ(reported.has_value(), accepted) << size.width() << "×" << size.height();
    }
    begin();
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QCoreApplication::sendEvent(&view(1), &space);
    EXPECT_EQ(controller.windows().size(), 2u) << "other keys are swallowed";
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&view(1), &escape);
    EXPECT_TRUE(controller.windows().empty()) << "every overlay goes at once";
    EXPECT_FALSE(reported);

    begin();
    emit qGuiApp->screenRemoved(QGuiApplication::screens().back());
    EXPECT_TRUE(controller.windows().empty());
    EXPECT_EQ(reports, 5);
}

TEST_F(RegionSelectionTest, DimmedWithAClearHoleAndTheHintWhereNoDragIsGoing) {
    begin();
    mouse(view(1), QEvent::MouseButtonPress, {100, 200});
    mouse(view(1), QEvent::MouseMove, {300, 260});
    const QImage dragging = Testing::render(view(1));
    const QImage idle = Testing::render(view(0));
    const int dim = qRound(SelectionView::dimOpacity * 255);
    EXPECT_EQ(qAlpha(dragging.pixel(50, 50)), dim);
    EXPECT_EQ(qAlpha(dragging.pixel(200, 230)), 0) << "the selection is cut clear";
    // The outline, half a point outside the hole, over the dimming.
    const QColor outline = dragging.pixelColor(200, 199);
    EXPECT_NEAR(outline.alphaF(), 0.9 + 0.28 * 0.1, 0.005);
    EXPECT_NEAR(outline.redF(), 0.9 / (0.9 + 0.28 * 0.1), 0.005);

    const QRectF hint = view(0).hintTextRect();
    const auto whitePixels = [&](const QImage& image) {
        return Testing::countNear(image.copy(hint.toAlignedRect()), QColor(255, 255, 255, 229), 40);
    };
    EXPECT_GT(whitePixels(idle), 50) << "the hint on the display without a drag";
    EXPECT_EQ(whitePixels(dragging), 0) << "no hint while a rectangle is drawn";
}

} // namespace
} // namespace Blinkwit
