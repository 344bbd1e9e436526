#include "platform/WaylandScreenGrabber.h"

#include "app/ScreenOCR.h"
#include "tests/app/ScreenFakes.h"
#include "tests/support/X11Testing.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

// The desktop's capture, answered when the test says so (after the user allowed it, say).
class HeldCapture final : public RegionCapture {
public:
    void capture(const QRectF& region, QSize pixels, Completion completion) override {
        asked = region;
        size = pixels;
        pending = std::move(completion);
    }
    void answer(QImage image) { std::exchange(pending, nullptr)(std::move(image)); }

    QRectF asked;
    QSize size;
    Completion pending;
};

TEST(WaylandScreenGrabber, RecognisesTheRegionOnceTheDesktopHasCapturedIt) {
    HeldCapture desktop;
    WaylandScreenGrabber screens(desktop);
    FakeRecognizer recognizer;
    auto ocr = std::make_unique<ScreenOCR>(screens, recognizer);
    const QRectF bounds = screens.displays().front().bounds;
    const QRectF region(bounds.topLeft() + QPointF(10, 20), QSizeF(100, 50));
    std::optional<OcrResult> result;
    ocr->recognizeText(region, [&](OcrResult r) { result = std::move(r); });
    ASSERT_TRUE(desktop.pending);
    EXPECT_EQ(desktop.asked, region);
    EXPECT_FALSE(waitFor([&] { return result.has_value(); }, 100));

    desktop.answer(QImage(desktop.size, QImage::Format_RGB32));
    ASSERT_TRUE(waitFor([&] { return result.has_value(); }));
    EXPECT_EQ(std::get<QString>(*result), QStringLiteral("Recognised words here."));
    EXPECT_EQ(screens.desktop(), bounds);

    // A reader gone when the desktop answers is not called.
    bool called = false;
    ocr->recognizeText(region, [&](OcrResult) { called = true; });
    ocr.reset();
    desktop.answer(QImage(desktop.size, QImage::Format_RGB32));
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
    EXPECT_EQ(recognizer.calls, 1);
}

} // namespace
