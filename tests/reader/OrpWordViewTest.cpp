#include "reader/ORPWordView.h"

#include "ReaderTestKit.h"
#include "reader/ReaderFont.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <gtest/gtest.h>
#include <tuple>

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

// A white 640 × 120 image at a device pixel ratio.
QImage blank(double ratio = 1) {
    QImage image(QSize(640, 120) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    return image;
}

// The token drawn with its fixation point at (320, 60) of a blank image.
QImage drawn(const BlinkwitCore::Token& token, QColor pivotColour = accent, double ratio = 1) {
    QImage image = blank(ratio);
    QPainter painter(&image);
    ORPWordView(token, 48, 592, pivotColour, primary).paint(painter, {320, 60});
    return image;
}

// Horizontal centre of the accent ink in device-independent pixels; NaN when there is none.
double accentCentre(const QImage& image) {
    const auto [first, last] = Testing::columnsOf(image, accent);
    return first < 0 ? std::nan("") : (first + last + 1) / 2.0 / image.devicePixelRatio();
}

class OrpPivotTest : public ::testing::TestWithParam<TokenKind> {};

TEST_P(OrpPivotTest, PivotSitsOnTheFixationAndLongWordsShrinkToFitForOneToFortyCharacters) {
    QImage device(10, 10, QImage::Format_ARGB32_Premultiplied);
    for (int n = 1; n <= 40; ++n) {
        EXPECT_NEAR(accentCentre(drawn(word(mixedWord(n), 0, 0, GetParam()))), 320.0, 1.0)
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
    }
    // Only the start of a huge word is shaped; its pivot is that of any long word.
    const ORPWordView::Layout huge = layoutOf(word(std::string(1 << 20, 'x')), &device);
    EXPECT_EQ(huge.pivotStart, 4);
    EXPECT_LE(huge.text.size(), 200);
}

// Ligatures, right-to-left and cursive scripts, trailing punctuation, digits, mixed directions,
// combining marks, emoji, CJK and a word long enough to be shrunk.
TEST(OrpWordView, EveryWordsPivotIsItsOwnAccentGlyphCentredOnTheFixation) {
    const std::pair<const char*, const char*> cases[] = {
        {"office", "f"},
        {"waffle", "f"},
        {"affirms", "f"},
        {"find", "i"},
        {"first", "i"},
        {"\u05E9\u05DC\u05D5\u05DD", "\u05DC"},                  // שלום
        {"\u05E9\u05DC\u05D5\u05DD.", "\u05DC"},                 // with a full stop
        {"\u0645\u0631\u062D\u0628\u0627.", nullptr},            // مرحبا.
        {"\u0628\u0627\u0644\u0639\u0627\u0644\u0645", nullptr}, // بالعالم
        {"\u0633\u0644\u0627\u0645", nullptr}, // سلام: the pivot in a lam-alef ligature
        {"2026", "0"},
        {"3.14159", "1"},
        {"abc\u05E9\u05DC\u05D5\u05DD", "c"},
        {"\u05E9\u05DC\u05D5\u05DDabc", "\u05D5"},
        {"nai\u0308ve", "a"},
        {"\u00FCber\u0301", "b"},
        {"\U0001F44D\U0001F3FDok", "o"},
        {"\u6771\u4EAC\u90FD\u5E81", "\u4EAC"},
        {"Donaudampfschifffahrtsgesellschaftskapit\u00E4n", nullptr}, // shrunk to fit
    };
    for (const auto& [text, pivotAlone] : cases) {
        EXPECT_NEAR(accentCentre(drawn(word(text), accent, 2.0)), 320.0, 1.0) << text;
        const QImage image = drawn(word(text));
        EXPECT_NEAR(accentCentre(image), 320.0, 1.0) << text;
        EXPECT_GE(Testing::columnsOf(image, primary).first, 0) << text;
        if (!pivotAlone)
            continue; // joined letters have no form of their own to compare with
        // The accent ink is the pivot letter's and nothing more: no ligature with a neighbour.
        const auto [first, last] = Testing::columnsOf(image, accent);
        const auto [aloneFirst, aloneLast] = Testing::columnsOf(drawn(word(pivotAlone)), accent);
        EXPECT_NEAR(last - first, aloneLast - aloneFirst, 1) << text;
    }
}

TEST(OrpWordView, CursiveLettersStayJoinedToThePivot) {
    // {word, joined on the left of the pivot, joined on its right}: the pivot ل of سلام sits
    // between two joined letters; ر in مرحبا joins only the letter before it (on its right).
    const std::tuple<const char*, bool, bool> cases[] = {
        {"\u0633\u0644\u0627\u0645", true, true},
        {"\u0645\u0631\u062D\u0628\u0627", false, true},
    };
    for (const auto& [text, left, right] : cases) {
        const QImage image = drawn(word(text));
        const auto [first, last] = Testing::columnsOf(image, accent);
        const auto blank = [&](int x) {
            return Testing::countNear(image.copy(x, 0, 1, 120), Qt::white, 200) == 120;
        };
        EXPECT_NE(blank(first - 1), left) << text;
        EXPECT_NE(blank(last + 1), right) << text;
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
        EXPECT_EQ(Testing::columnsOf(image, accent).first, -1);
    }
    const ORPWordView::Layout code =
        ORPWordView(word("x", 0, 0, TokenKind::code()), 50, 592, accent, primary).layout(&device);
    EXPECT_DOUBLE_EQ(ReaderFont::size(code.font), 0.82 * 50) << "inline code";
    EXPECT_TRUE(QFontInfo(code.font).fixedPitch());
}

} // namespace
} // namespace Blinkwit
