#include "reader/ORPWordView.h"

#include "ReaderTestKit.h"
#include "reader/ReaderFont.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextLayout>
#include <cmath>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Testing::codeSpan;
using Testing::url;
using Testing::word;

const QColor accent(255, 0, 0);
const QColor primary(0, 0, 255);

// A word of n characters that mixes wide, narrow and kerning-prone letters.
std::string mixedWord(int n) {
    static const std::string letters = "AVaWoTyiLmjfWAYl.r,\"";
    std::string text;
    for (int i = 0; i < n; ++i)
        text += letters[std::size_t(i * 7 + n) % letters.size()];
    return text;
}

// The pivot's centre as the drawn line places it: measured with a text layout of the whole run,
// independently of the view's own arithmetic.
double drawnPivotCentre(const ORPWordView::Layout& layout, double fixationX, QPaintDevice* device) {
    QTextLayout text(layout.text, layout.font, device);
    text.beginLayout();
    QTextLine line = text.createLine();
    text.endLayout();
    const double left = fixationX + layout.left;
    return left + (line.cursorToX(layout.pivotStart) + line.cursorToX(layout.pivotEnd)) / 2;
}

class OrpPivotTest : public ::testing::TestWithParam<bool> {};

TEST_P(OrpPivotTest, PivotCentreSitsOnFixationForWordsOfOneToFortyCharacters) {
    const bool mono = GetParam();
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    for (int n = 1; n <= 40; ++n) {
        const BlinkwitCore::Token token = mono ? codeSpan(mixedWord(n)) : word(mixedWord(n));
        const ORPWordView view(token, 48, 592, accent, primary);
        const ORPWordView::Layout layout = view.layout(&device);
        ASSERT_LT(layout.pivotStart, layout.pivotEnd) << n;
        EXPECT_NEAR(drawnPivotCentre(layout, 320.0, &device), 320.0, 0.5)
            << "n=" << n << " text=" << mixedWord(n);
    }
}

INSTANTIATE_TEST_SUITE_P(ProportionalAndMonospaced, OrpPivotTest, ::testing::Bool());

TEST_P(OrpPivotTest, LongWordsShrinkUntilBothSidesOfThePivotFitTheStage) {
    const bool mono = GetParam();
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    for (int n = 1; n <= 40; ++n) {
        const std::string text = std::string(std::size_t(n), 'W');
        const BlinkwitCore::Token token = mono ? codeSpan(text) : word(text);
        const ORPWordView::Layout layout =
            ORPWordView(token, 48, 592, accent, primary).layout(&device);
        if (ReaderFont::size(layout.font) <= 14)
            continue; // the smallest size is drawn even when it overflows
        EXPECT_LE(-layout.left, 296.01) << n;
        EXPECT_LE(layout.width + layout.left, 296.01) << n;
    }
}

TEST(OrpWordView, PivotIsTheOrpCharacterCountedInUserPerceivedCharacters) {
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    struct Case {
        std::string text;
        QString pivot;
    };
    const std::vector<Case> cases = {
        {"reader", QStringLiteral("a")},
        {"(hello,", QStringLiteral("e")},
        {"a", QStringLiteral("a")},
        {"e\xCC\x81tude", QStringLiteral("t")},                      // é as e + combining accent
        {"cafe\xCC\x81s", QStringLiteral("a")},                      // 5 characters
        {"\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBDok", QStringLiteral("o")}, // thumbs-up with skin tone
    };
    for (const Case& c : cases) {
        const ORPWordView::Layout layout =
            ORPWordView(word(c.text), 48, 592, accent, primary).layout(&device);
        EXPECT_EQ(layout.text.mid(layout.pivotStart, layout.pivotEnd - layout.pivotStart), c.pivot)
            << c.text;
        EXPECT_NEAR(drawnPivotCentre(layout, 0, &device), 0, 0.5) << c.text;
    }
}

// Columns of the image whose pixels are mostly the given colour.
std::pair<int, int> inkColumns(const QImage& image, const QColor& colour) {
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 128 && Testing::near(pixel, colour, 60)) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    return {first, last};
}

TEST(OrpWordView, AccentInkIsThePivotLetterAroundTheFixationPoint) {
    for (const double ratio : {1.0, 2.0}) {
        QImage image(QSize(400, 120) * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        QPainter painter(&image);
        ORPWordView(word("mmmmOmmmmmm"), 48, 360, accent, primary).paint(painter, {200, 60});
        painter.end();
        const auto [first, last] = inkColumns(image, accent);
        ASSERT_GE(first, 0);
        // The O is symmetric: its ink is centred on the fixation point.
        EXPECT_NEAR((first + last + 1) / 2.0 / ratio, 200.0, 1.0);
        const QFontMetricsF metrics(ReaderFont::system(48, QFont::Medium), &image);
        EXPECT_LE((last - first + 1) / ratio, metrics.horizontalAdvance(QStringLiteral("O")) + 1);
        const auto [blueFirst, blueLast] = inkColumns(image, primary);
        EXPECT_LT(blueFirst, first);
        EXPECT_GT(blueLast, last);
    }
}

TEST(OrpWordView, FittingShrinksByStepsOf088UntilTheWordFitsOrReaches14) {
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    const QString longWord = QString::fromStdString(std::string(40, 'W'));
    for (const bool mono : {false, true}) {
        const QFont font = ORPWordView::fittedFont(longWord, 48, mono, 592, &device);
        const double size = ReaderFont::size(font);
        const double steps = std::log(size / 48) / std::log(0.88);
        EXPECT_NEAR(steps, std::round(steps), 1e-6) << "a size of the sequence 48 × 0.88ⁿ";
        const auto width = [&](double s) {
            return QFontMetricsF(ReaderFont::resized(font, s), &device).horizontalAdvance(longWord);
        };
        EXPECT_GT(width(size / 0.88), 592) << "the previous size did not fit";
        EXPECT_TRUE(width(size) <= 592 || size <= 14);
        EXPECT_GT(size / 0.88, 14);
    }
    const QFont fitting = ORPWordView::fittedFont(QStringLiteral("word"), 48, false, 592, &device);
    EXPECT_DOUBLE_EQ(ReaderFont::size(fitting), 48);
    const QFont tiny = ORPWordView::fittedFont(longWord, 12, false, 10, &device);
    EXPECT_DOUBLE_EQ(ReaderFont::size(tiny), 12) << "a base of 14 or less is used as it is";
    const QFont floor = ORPWordView::fittedFont(longWord, 48, false, 20, &device);
    EXPECT_LE(ReaderFont::size(floor), 14);
    EXPECT_GT(ReaderFont::size(floor), 14 * 0.88);
}

TEST(OrpWordView, CodeKindsAreMonospacedAndSmallerAddressesAndBlocksWholeWithoutAccent) {
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    for (const BlinkwitCore::Token& token :
         {url("example.com"), Testing::codeBlock("x = 1\n", "python", 1)}) {
        const ORPWordView view(token, 48, 592, accent, primary);
        const ORPWordView::Layout layout = view.layout(&device);
        EXPECT_EQ(layout.pivotStart, layout.pivotEnd);
        EXPECT_DOUBLE_EQ(ReaderFont::size(layout.font), 0.55 * 48);
        EXPECT_TRUE(QFontInfo(layout.font).fixedPitch());
        EXPECT_NEAR(layout.left, -layout.width / 2, 1e-9);

        QImage image(600, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        view.paint(painter, {300, 50});
        painter.end();
        EXPECT_EQ(inkColumns(image, accent).first, -1);
        int strongest = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                strongest = std::max(strongest, image.pixelColor(x, y).alpha());
        EXPECT_NEAR(strongest, 0.9 * 255, 3) << "drawn at 90 % opacity";
    }
    const ORPWordView::Layout code =
        ORPWordView(codeSpan("x"), 50, 592, accent, primary).layout(&device);
    EXPECT_DOUBLE_EQ(ReaderFont::size(code.font), 0.82 * 50) << "inline code";
    EXPECT_TRUE(QFontInfo(code.font).fixedPitch());
}

} // namespace
} // namespace Blinkwit
