#include "ReaderTestKit.h"
#include "reader/FooterView.h"
#include "reader/ReaderView.h"
#include "reader/SeekableProgressBar.h"

#include <QTest>
#include <QWindow>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

namespace Blinkwit {
namespace {

// The reader shown as a window so that clicks find the widget under the pointer, as real
// clicks do.
class ProgressBarTest : public ::testing::Test, public Testing::ReaderRig {
protected:
    ProgressBarTest() {
        view.resize(640, 230);
        view.setAnimated(false);
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        loadAndStart(Testing::words(100));
        engine.togglePause();
    }

    SeekableProgressBar& bar() const { return *view.footer()->progressBar(); }
    // A point in window coordinates at fraction f of the bar's width, dy below its middle row.
    QPoint barPoint(double f, double dy = 0) const {
        const QRectF r = bar().barRect();
        return bar().mapTo(&view, QPointF(r.left() + f * r.width(), r.center().y() + dy).toPoint());
    }
    void press(QPoint at) { QTest::mousePress(view.windowHandle(), Qt::LeftButton, {}, at); }
    void release(QPoint at) { QTest::mouseRelease(view.windowHandle(), Qt::LeftButton, {}, at); }

    ReaderView view{engine, settings};
};

TEST_F(ProgressBarTest, ClickOrDragSeeksOnReleaseWithinTenPointsAroundTheThinBar) {
    const QRectF r = bar().barRect();
    const double above = r.top() - r.center().y();
    const double below = r.bottom() - r.center().y();
    // {fraction, rows from the middle, index after the click}: 11 below and 12 above miss.
    for (auto [f, dy, index] : {std::tuple{0.5, 0.0, 50},
                                {0.255, 0.0, 25},
                                {0.5, above - 10, 50},
                                {0.405, below + 7, 40},
                                {0.305, below + 9, 30},
                                {0.8, below + 11, 30},
                                {0.1, above - 12, 30}}) {
        press(barPoint(f, dy));
        release(barPoint(f, dy));
        EXPECT_EQ(engine.index(), index) << f << " " << dy;
    }
    press(barPoint(0.2));
    QTest::mouseMove(view.windowHandle(), barPoint(0.7));
    EXPECT_EQ(engine.index(), 30) << "nothing is sent while dragging";
    release(QPoint(700, barPoint(0).y()));
    EXPECT_EQ(engine.index(), 99);
    press(barPoint(0.8));
    release(QPoint(2, barPoint(0).y()));
    EXPECT_EQ(engine.index(), 0);
}

TEST_F(ProgressBarTest, FractionIsClampedAndTheFillRunsFromAStubToTheWholeBar) {
    // Releases beyond the ends clamp above; a zero-width bar must not seek to NaN either.
    EXPECT_EQ(bar().fractionAt(std::nan("")), 1.0);
    const auto accentColumns = [&] {
        const QImage image = Testing::render(view);
        int count = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, barPoint(0).y());
            count += pixel.green() > 150 && pixel.red() < 100;
        }
        return count;
    };
    engine.seek(0);
    EXPECT_GE(accentColumns(), 4);
    EXPECT_LE(accentColumns(), 6);
    engine.seek(1);
    EXPECT_NEAR(accentColumns(), bar().barRect().width(), 2);
}

} // namespace
} // namespace Blinkwit
