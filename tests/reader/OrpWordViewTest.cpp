#include "reader/ORPWordView.h"

#include "ReaderTestKit.h"
#include "reader/ReaderFont.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using BlinkwitCore::TokenKind;
using Testing::word;

const QColor accent(255, 0, 0);
const QColor primary(0, 0, 255);

ORPWordView::Layout layoutOf(const BlinkwitCore::Token& token, QPaintDevice* device) {
    return ORPWordView(token, 48, 592, accent, primary).layout(device);
}

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

class OrpPivotTest : public ::testing::TestWithParam<TokenKind> {};

TEST_P(OrpPivotTest, PivotSitsOnTheFixationAndLongWordsShrinkToFitForOneToFortyCharacters) {
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    for (int n = 1; n <= 40; ++n) {
        const ORPWordView::Layout layout = layoutOf(word(mixedWord(n), 0, 0, GetParam()), &device);
        ASSERT_LT(layout.pivotStart, layout.pivotEnd) << n;
        EXPECT_NEAR(drawnPivotCentre(layout, 320.0, &device), 320.0, 0.5)
            << "n=" << n << " text=" << mixedWord(n);

        const ORPWordView::Layout wide =
            layoutOf(word(std::string(std::size_t(n), 'W'), 0, 0, GetParam()), &device);
        if (ReaderFont::size(wide.font) > 14) { // the smallest size is drawn even when too wide
            EXPECT_LE(-wide.left, 296.01) << n;
            EXPECT_LE(wide.width + wide.left, 296.01) << n;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ProportionalAndMonospaced, OrpPivotTest,
                         ::testing::Values(TokenKind::word(), TokenKind::code()));

TEST(OrpWordView, PivotIsTheOrpCharacterCountedInUserPerceivedCharacters) {
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    const std::pair<std::string, QString> cases[] = {
        {"reader", "a"},
        {"(hello,", "e"},
        {"a", "a"},
        {"e\xCC\x81tude", "t"},                      // é as e + combining accent
        {"cafe\xCC\x81s", "a"},                      // 5 characters
        {"\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBDok", "o"}, // thumbs-up with skin tone
    };
    for (const auto& [text, pivot] : cases) {
        const ORPWordView::Layout layout = layoutOf(word(text), &device);
        EXPECT_EQ(layout.text.mid(layout.pivotStart, layout.pivotEnd - layout.pivotStart), pivot)
            << text;
        EXPECT_NEAR(drawnPivotCentre(layout, 0, &device), 0, 0.5) << text;
    }
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
    const QString longWord(40, QLatin1Char('W'));
    for (const bool mono : {false, true}) {
        const QFont font = ORPWordView::fittedFont(longWord, 48, mono, 592, &device);
        const double size = ReaderFont::size(font);
        const auto width = [&](double s) {
            return QFontMetricsF(ReaderFont::resized(font, s), &device).horizontalAdvance(longWord);
        };
        EXPECT_GT(width(size / 0.88), 592) << "the previous size did not fit";
        EXPECT_TRUE(width(size) <= 592 || size <= 14);
        EXPECT_GT(size / 0.88, 14);
    }
    const auto sizeOf = [&](const QString& text, double base, double stage) {
        return ReaderFont::size(ORPWordView::fittedFont(text, base, false, stage, &device));
    };
    EXPECT_DOUBLE_EQ(sizeOf(QStringLiteral("word"), 48, 592), 48);
    EXPECT_DOUBLE_EQ(sizeOf(longWord, 12, 10), 12) << "a base of 14 or less is used as it is";
    EXPECT_LE(sizeOf(longWord, 48, 20), 14);
    EXPECT_GT(sizeOf(longWord, 48, 20), 14 * 0.88);
}

TEST(OrpWordView, CodeKindsAreMonospacedAndSmallerAddressesAndBlocksWholeWithoutAccent) {
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    for (const BlinkwitCore::Token& token :
         {word("⟨example.com⟩", 0, 0, TokenKind::url()), Testing::codeBlock()}) {
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
    }
    const ORPWordView::Layout code =
        ORPWordView(word("x", 0, 0, TokenKind::code()), 50, 592, accent, primary).layout(&device);
    EXPECT_DOUBLE_EQ(ReaderFont::size(code.font), 0.82 * 50) << "inline code";
    EXPECT_TRUE(QFontInfo(code.font).fixedPitch());
}

} // namespace
} // namespace Blinkwit
