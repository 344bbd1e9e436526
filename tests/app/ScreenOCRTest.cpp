#include "app/ScreenOCR.h"

#include "tests/app/ScreenFakes.h"
#include "tests/support/X11Testing.h"

#include <gtest/gtest.h>

using namespace Blinkwit;

namespace {

using Testing::FakeRecognizer;
using Testing::FakeScreens;

TEST(ScreenOCRTest, CapturesOnlyTheDisplayHoldingMostOfTheRectangleAtItsScale) {
    FakeScreens screens;
    screens.list = {{QStringLiteral("left"), QRectF(0, 0, 1440, 900)},
                    {QStringLiteral("right"), QRectF(1440, -100, 1920, 1080)}};
    screens.scales = {{QStringLiteral("left"), 1.0}, {QStringLiteral("right"), 1.5}};

    // 30 % on the left display, 70 % on the right one: only the right part is read.
    auto capture = ScreenOCR::captureFor(QRectF(1340, 100, 340, 50), screens);
    ASSERT_TRUE(capture);
    EXPECT_EQ(capture->display, QStringLiteral("right"));
    EXPECT_EQ(capture->source, QRectF(0, 200, 240, 50));
    EXPECT_EQ(capture->pixels, QSize(360, 75));

    // Equal shares: the display listed first.
    capture = ScreenOCR::captureFor(QRectF(1400, 0, 80, 10), screens);
    EXPECT_EQ(capture->display, QStringLiteral("left"));

    // A display whose screen is gone is read at scale 2; a sliver still gives one pixel.
    screens.scales.clear();
    capture = ScreenOCR::captureFor(QRectF(10, 10, 0.3, 0.3), screens);
    EXPECT_EQ(capture->pixels, QSize(1, 1));
    capture = ScreenOCR::captureFor(QRectF(10, 10, 100, 40.7), screens);
    EXPECT_EQ(capture->pixels, QSize(200, 81));

    EXPECT_FALSE(ScreenOCR::captureFor(QRectF(-500, 0, 400, 400), screens)) << "off every display";
    EXPECT_FALSE(ScreenOCR::captureFor(QRectF(0, 0, 0, 0), screens)) << "empty";
    screens.list.clear();
    EXPECT_FALSE(ScreenOCR::captureFor(QRectF(0, 0, 100, 100), screens)) << "no display";
}

class ScreenOCRAsyncTest : public testing::Test {
protected:
    // Runs a request to its end through the event loop.
    OcrResult read(const QRectF& rect) {
        std::optional<OcrResult> result;
        ocr.recognizeText(rect, [&](OcrResult r) { result = std::move(r); });
        EXPECT_FALSE(result) << "answered later, never inside the call";
        EXPECT_TRUE(Testing::waitFor([&] { return result.has_value(); }));
        return result.value_or(ScreenOCRError(ScreenOCRError::Case::captureFailed));
    }

    static QString description(const OcrResult& result) {
        const auto* error = std::get_if<ScreenOCRError>(&result);
        return error ? error->description() : QString();
    }

    FakeScreens screens;
    FakeRecognizer recognizer;
    ScreenOCR ocr{screens, recognizer};
};

TEST_F(ScreenOCRAsyncTest, RecognisesOffTheMainThreadAndAnswersOnIt) {
    const OcrResult result = read(QRectF(100, 100, 200, 50));
    EXPECT_EQ(std::get<QString>(result), QStringLiteral("Recognised words here."));
    ASSERT_EQ(screens.grabs.size(), 1u);
    EXPECT_EQ(screens.grabs[0].source, QRectF(100, 100, 200, 50));
    EXPECT_NE(recognizer.thread.load(), QThread::currentThread());
}

TEST_F(ScreenOCRAsyncTest, EachFailureHasItsOwnDescription) {
    EXPECT_EQ(description(read(QRectF(5000, 0, 10, 10))),
              QStringLiteral("Couldn't find the display for the selected region."));
    EXPECT_EQ(recognizer.calls, 0);

    recognizer.answer = std::vector<Box>{{QStringLiteral("  "), QRectF(0, 0, 1, 0.1)}};
    EXPECT_EQ(description(read(QRectF(0, 0, 10, 10))),
              QStringLiteral("No text was recognized in the selected region."));

    recognizer.answer =
        ScreenOCRError(ScreenOCRError::Case::recognitionFailed, QStringLiteral("model missing"));
    EXPECT_EQ(description(read(QRectF(0, 0, 10, 10))), QStringLiteral("model missing"));

    screens.image = QImage();
    EXPECT_EQ(description(read(QRectF(0, 0, 10, 10))),
              QStringLiteral("Couldn't capture the selected region."));
}

} // namespace
