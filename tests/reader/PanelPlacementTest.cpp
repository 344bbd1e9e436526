#include "reader/PanelPlacement.h"

#include "reader/DesktopCoordinates.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace Blinkwit {
namespace {

using Screen = PanelPlacement::Screen;

const Screen primary{{0, 0, 1920, 1080}, {0, 32, 1920, 1048}, true};
// A second screen to the right, lower and smaller, with no panels.
const Screen side{{1920, 200, 1280, 720}, {1920, 200, 1280, 720}, false};

TEST(DesktopCoordinatesTest, BottomLeftOriginsAndQtFramesConvertBothWays) {
    const DesktopCoordinates onOrigin(primary.frame);
    EXPECT_EQ(onOrigin.originOf(QRect(100, 200, 640, 230)), QPointF(100, 1080 - 430));
    EXPECT_EQ(onOrigin.frameAt({100, 650}, {640, 230}), QRect(100, 200, 640, 230));
    EXPECT_EQ(onOrigin.frameAt({0, 0}, {640, 230}), QRect(0, 850, 640, 230))
        << "origin 0,0 is the primary screen's bottom-left corner";

    // The primary screen need not sit at Qt's 0,0.
    const DesktopCoordinates shifted(QRect(1280, 300, 1920, 1080));
    const QRect frame(1500, 400, 640, 470);
    EXPECT_EQ(shifted.originOf(frame), QPointF(220, 1380 - 870));
    EXPECT_EQ(shifted.frameAt(shifted.originOf(frame), frame.size()), frame);
    EXPECT_EQ(shifted.frameAt({-100.4, 2000.6}, {640, 230}),
              QRect(1180, 1380 - 2001 - 230, 640, 230));
}

TEST(PanelPlacementTest, NewPanelIsCentredOnTheScreenUnderTheMouseAbove55Percent) {
    const PanelPlacement onPrimary({primary, side}, QPoint(500, 500));
    const QRect frame = onPrimary.frame(std::nullopt, PanelPlacement::height);
    EXPECT_EQ(frame.size(), QSize(640, 230));
    EXPECT_EQ(frame.center().x() + 1, 960) << "centred horizontally";
    // Its centre sits at 55 % of the visible height, measured from the visible bottom.
    const double centreFromBottom = 1080 - (frame.y() + 115.0);
    EXPECT_NEAR(centreFromBottom, 0.55 * 1048, 0.5);

    const QRect onSide = PanelPlacement({primary, side}, QPoint(2500, 300))
                             .frame(std::nullopt, PanelPlacement::expandedHeight);
    EXPECT_EQ(onSide, QRect(1920 + 640 - 320, qRound(200 + 0.45 * 720 - 235), 640, 470));

    const QRect nowhere =
        PanelPlacement({side, primary}, QPoint(-5000, -5000)).frame(std::nullopt, 230);
    EXPECT_EQ(nowhere.center().x() + 1, 960) << "no screen under the mouse: the primary one";

    EXPECT_EQ(PanelPlacement({}, QPoint()).frame(std::nullopt, 230), QRect(0, 0, 640, 230));
}

TEST(PanelPlacementTest, RememberedOriginWinsWhileItTouchesAVisibleFrame) {
    const PanelPlacement placement({primary, side}, QPoint(10, 10));
    EXPECT_EQ(placement.frame(QPointF(100, 650), 230), QRect(100, 200, 640, 230));
    // Partly on the side screen only.
    EXPECT_EQ(placement.frame(QPointF(3000, 300), 230).x(), 3000);
    // On a screen that is gone: centred instead (and nothing is forgotten by placing).
    const QRect gone = placement.frame(QPointF(9000, 300), 230);
    EXPECT_EQ(gone.center().x() + 1, 960);
    // Only under the top panel of the primary screen, outside its visible frame.
    const QRect underBar = placement.frame(QPointF(100, 1080 - 230 + 240), 230);
    EXPECT_NE(underBar.x(), 100);
}

TEST(PanelPlacementTest, StoredOriginMustBeExactlyTwoFiniteNumbers) {
    EXPECT_EQ(PanelPlacement::originFromStored(QVariantList{qint64(10), 20.5}), QPointF(10, 20.5));
    const QVariant malformed[] = {
        QVariant(),
        QVariant(QStringLiteral("10,20")),
        QVariant(QVariantList{1.0, 2.0, 3.0}),
        QVariant(QVariantList{1.0}),
        QVariant(QVariantList{QStringLiteral("1"), 2.0}),
        QVariant(QVariantList{true, 2.0}),
        QVariant(QVariantList{std::numeric_limits<double>::quiet_NaN(), 2.0}),
        QVariant(QVariantList{1.0, std::numeric_limits<double>::infinity()}),
    };
    for (const QVariant& value : malformed)
        EXPECT_FALSE(PanelPlacement::originFromStored(value).has_value()) << value.typeName();
    EXPECT_EQ(PanelPlacement::originFromStored(PanelPlacement::storedFromOrigin({-3, 4})),
              QPointF(-3, 4));
}

} // namespace
} // namespace Blinkwit
