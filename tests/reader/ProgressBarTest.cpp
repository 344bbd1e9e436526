#include "ReaderTestKit.h"
#include "reader/FooterView.h"
#include "reader/ReaderTheme.h"
#include "reader/ReaderView.h"
#include "reader/SeekableProgressBar.h"

#include <QTest>
#include <QWindow>
#include <cmath>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

// The reader shown as a window so that clicks find the widget under the pointer, as real
// clicks do.
class ProgressBarTest : public ::testing::Test {
protected:
    ProgressBarTest() {
        view.resize(640, 230);
        view.setAnimated(false);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        rig.loadAndStart(Testing::sentences(1, 1, 100));
        rig.engine.togglePause();
    }

    SeekableProgressBar& bar() const { return *view.footer()->progressBar(); }
    // A point of the bar's middle row in window coordinates, at fraction f of its width.
    QPoint barPoint(double f) const {
        const QRectF r = bar().barRect();
        const QPointF local(r.left() + f * r.width(), r.center().y());
        return bar().mapTo(&view, local.toPoint());
    }
    void click(QPoint at) {
        QTest::mousePress(view.windowHandle(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(view.windowHandle(), Qt::LeftButton, {}, at);
    }

    Testing::ReaderRig rig;
    ReaderView view{rig.engine, rig.settings};
};

TEST_F(ProgressBarTest, ClickSeeksOnRelease) {
    click(barPoint(0.5));
    EXPECT_EQ(rig.engine.index(), 50);
    click(barPoint(0.255));
    EXPECT_EQ(rig.engine.index(), 25);
}

TEST_F(ProgressBarTest, DragSeeksOnlyWhenReleasedAndClampsBeyondTheEnds) {
    QTest::mousePress(view.windowHandle(), Qt::LeftButton, {}, barPoint(0.2));
    QTest::mouseMove(view.windowHandle(), barPoint(0.7));
    EXPECT_EQ(rig.engine.index(), 0) << "nothing is sent while dragging";
    QTest::mouseRelease(view.windowHandle(), Qt::LeftButton, {}, QPoint(700, barPoint(0).y()));
    EXPECT_EQ(rig.engine.index(), 99);

    QTest::mousePress(view.windowHandle(), Qt::LeftButton, {}, barPoint(0.8));
    QTest::mouseRelease(view.windowHandle(), Qt::LeftButton, {}, QPoint(2, barPoint(0).y()));
    EXPECT_EQ(rig.engine.index(), 0);
}

TEST_F(ProgressBarTest, HitAreaReachesTenPointsAroundTheThinBar) {
    // Pixel rows measured from the bar's top and bottom edges.
    const QRectF r = bar().barRect();
    const auto row = [&](double f, double y) {
        return bar().mapTo(&view, QPointF(r.left() + f * r.width(), y).toPoint());
    };
    click(row(0.5, r.top() - 10));
    EXPECT_EQ(rig.engine.index(), 50) << "10 above";
    click(row(0.305, r.bottom() + 9));
    EXPECT_EQ(rig.engine.index(), 30) << "the last row of the 10 below";
    click(row(0.8, r.bottom() + 11));
    EXPECT_EQ(rig.engine.index(), 30) << "11 below is outside";
    click(row(0.1, r.top() - 12));
    EXPECT_EQ(rig.engine.index(), 30) << "12 above is outside";
}

TEST_F(ProgressBarTest, FractionIsClampedAndNeverNaN) {
    EXPECT_EQ(bar().fractionAt(-50), 0.0);
    EXPECT_EQ(bar().fractionAt(1e9), 1.0);
    EXPECT_EQ(bar().fractionAt(std::nan("")), 1.0);
    EXPECT_EQ(bar().fractionAt(-std::numeric_limits<double>::infinity()), 0.0);
}

// Columns of the bar's row that show the accent.
int accentColumns(ReaderView& view, const SeekableProgressBar& bar) {
    const QImage image = Testing::render(view);
    const QRectF r = bar.barRect();
    const int y = bar.mapTo(&view, r.center().toPoint()).y();
    int count = 0;
    for (int x = 0; x < image.width(); ++x) {
        const QColor pixel = image.pixelColor(x, y);
        count += pixel.green() > 150 && pixel.red() < 100;
    }
    return count;
}

TEST_F(ProgressBarTest, EmptyProgressShowsAStubAndFullProgressFillsTheBar) {
    rig.engine.seek(0);
    const int stub = accentColumns(view, bar());
    EXPECT_GE(stub, 4);
    EXPECT_LE(stub, 6);
    rig.engine.seek(1);
    EXPECT_NEAR(accentColumns(view, bar()), bar().barRect().width(), 2);
}

} // namespace
} // namespace Blinkwit
