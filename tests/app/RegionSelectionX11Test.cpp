#include "app/AppCoordinator.h"
#include "app/OverlayWindow.h"
#include "app/RegionSelectionController.h"
#include "app/ScreenOCR.h"
#include "app/SelectionView.h"
#include "platform/QtScreenGrabber.h"
#include "tests/reader/ReaderTestKit.h"
#include "tests/support/X11Testing.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QWindow>
#include <gtest/gtest.h>

// Real X11 on a display of the suite's own: the pointer and keys from xdotool (XTest), the
// screen read back, a compositing manager started and stopped. Run at scale 1 and 2: xdotool
// works in pixels, the overlay in points.

namespace Blinkwit {
namespace {

bool waitFor(const std::function<bool()>& condition) {
    return Testing::waitFor(condition, 10000);
}

void xdotool(const QString& args) {
    ASSERT_TRUE(Testing::runTool(QStringLiteral("xdotool"), args.split(QLatin1Char(' '))))
        << args.toStdString();
}

QScreen& screen() {
    return *QGuiApplication::primaryScreen();
}

// Where a point of the desktop is in the X server's pixels.
QPoint pixels(QPointF points) {
    return (points * screen().devicePixelRatio()).toPoint();
}

void dragPointer(QPointF from, QPointF to) {
    const QPoint a = pixels(from);
    const QPoint b = pixels(to);
    xdotool(QStringLiteral("mousemove %1 %2 mousedown 1").arg(a.x()).arg(a.y()));
    xdotool(QStringLiteral("mousemove %1 %2").arg((a.x() + b.x()) / 2).arg((a.y() + b.y()) / 2));
    xdotool(QStringLiteral("mousemove %1 %2 mouseup 1").arg(b.x()).arg(b.y()));
}

// A window showing the image, where the overlays will cover it.
std::unique_ptr<QLabel> backdrop(const QImage& image, QPoint at) {
    auto label = std::make_unique<QLabel>(nullptr, Qt::FramelessWindowHint);
    label->setPixmap(QPixmap::fromImage(image));
    label->setGeometry(QRect(at, image.size()));
    label->show();
    EXPECT_TRUE(waitFor([&] { return label->windowHandle()->isExposed(); }));
    QCoreApplication::processEvents();
    return label;
}

class RegionSelectionX11Test : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")); }
    void TearDown() override {
        if (controller.selecting())
            controller.finish(std::nullopt);
    }

    void begin() {
        controller.begin([this](std::optional<QRectF> rect) {
            done = true;
            reported = rect;
        });
        waitForOverlays();
    }

    void waitForOverlays() {
        ASSERT_TRUE(waitFor([&] {
            if (controller.windows().empty())
                return false;
            for (OverlayWindow* window : controller.windows())
                if (!window->windowHandle()->isExposed() || !window->windowHandle()->isActive())
                    return false;
            return true;
        }));
        QCoreApplication::processEvents();
    }

    static void savePicture(const QString& name) {
        QDir().mkpath(QStringLiteral(BLINKWIT_OVERLAY_PICTURES));
        screen().grabWindow(0).save(QStringLiteral(BLINKWIT_OVERLAY_PICTURES "/%1-scale%2.png")
                                        .arg(name)
                                        .arg(screen().devicePixelRatio()));
    }

    RegionSelectionController& controller = RegionSelectionController::shared();
    bool done = false;
    std::optional<QRectF> reported;
};

TEST_F(RegionSelectionX11Test, ADragReportsPointsAndTheCaptureTakesItsPixels) {
    QImage stripes(400, 200, QImage::Format_RGB32);
    stripes.fill(QColor(30, 30, 200));
    QPainter(&stripes).fillRect(0, 0, 400, 100, QColor(200, 30, 30));
    const auto shown = backdrop(stripes, {100, 100});
    begin();
    dragPointer({150, 120}, {450, 280});
    ASSERT_TRUE(waitFor([&] { return done; }));
    ASSERT_TRUE(reported);
    EXPECT_EQ(*reported, QRectF(150, 120, 300, 160));
    EXPECT_TRUE(controller.windows().empty());
    // As the command does: the window beneath repaints before the capture.
    const QDeadlineTimer repainted(int(AppCoordinator::recognitionDelay * 1000));
    waitFor([&] { return repainted.hasExpired(); });

    QtScreenGrabber grabber;
    const auto capture = ScreenOCR::captureFor(*reported, grabber);
    ASSERT_TRUE(capture);
    const QImage image = grabber.grab(capture->display, capture->source, capture->pixels);
    const double scale = screen().devicePixelRatio();
    EXPECT_EQ(image.size(), QSize(300, 160) * scale);
    // The overlays have left the screen, and the stripes' edge is where the points say (within
    // the rows the window's own scaling blends).
    EXPECT_TRUE(Testing::near(image.pixelColor(5, int(80 * scale) - 3), QColor(200, 30, 30)));
    EXPECT_TRUE(Testing::near(image.pixelColor(5, int(80 * scale) + 2), QColor(30, 30, 200)));
}

TEST_F(RegionSelectionX11Test, EscapeAndTooSmallADragReportNothing) {
    begin();
    xdotool(QStringLiteral("key Escape"));
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_FALSE(reported);

    done = false;
    begin();
    dragPointer({300, 300}, {304, 400});
    ASSERT_TRUE(waitFor([&] { return done; }));
    EXPECT_FALSE(reported);
}

TEST_F(RegionSelectionX11Test, TheScreenShowsThroughDimmedWithOrWithoutACompositingManager) {
    // A light desktop with a magenta window, to see the hint's background and the dimming.
    QImage desktop(screen().size(), QImage::Format_RGB32);
    desktop.fill(QColor(235, 235, 235));
    QPainter(&desktop).fillRect(50, 150, 600, 400, QColor(255, 0, 255));
    const auto shown = backdrop(desktop, {0, 0});
    const auto showsDimmed = [] {
        const QColor colour = screen().grabWindow(0, 200, 250, 1, 1).toImage().pixelColor(0, 0);
        return Testing::near(colour, QColor(184, 0, 184), 4);
    };

    begin();
    EXPECT_TRUE(waitFor(showsDimmed)) << "no compositing manager: the still, dimmed";
    savePicture(QStringLiteral("overlay-still"));

    QProcess compositor;
    compositor.start(QStringLiteral("xcompmgr"), {QStringLiteral("-n")});
    ASSERT_TRUE(compositor.waitForStarted());
    EXPECT_TRUE(waitFor([&] { return controller.windows().front()->view()->still().isNull(); }));
    EXPECT_TRUE(waitFor(showsDimmed)) << "blended";
    savePicture(QStringLiteral("overlay-composited"));

    compositor.terminate();
    ASSERT_TRUE(compositor.waitForFinished(5000));
    EXPECT_TRUE(waitFor([&] { return !controller.windows().front()->view()->still().isNull(); }));
    EXPECT_TRUE(waitFor(showsDimmed)) << "compositing stopped: a fresh still, not black";
    EXPECT_TRUE(waitFor([&] { return controller.windows().front()->windowHandle()->isActive(); }))
        << "the keyboard back on the overlay";
}

} // namespace
} // namespace Blinkwit
