#include "app/TextAssembly.h"

#include <gtest/gtest.h>

using namespace Blinkwit;

namespace {

// A fragment by its middle height, left edge and height, in fractions of the image, y up.
Box fragment(const char* text, double middle, double left = 0.1, double height = 0.05) {
    return {QString::fromUtf8(text), QRectF(left, middle - height / 2, 0.2, height)};
}

std::optional<QString> assembled(std::vector<Box> fragments) {
    return TextAssembly::assemble(std::move(fragments));
}

TEST(TextAssemblyTest, FragmentsFormLinesLeftToRightAgainstTheLineOpener) {
    // 0.01 apart with heights 0.05: one line, the left one first, whatever the given order.
    EXPECT_EQ(assembled({fragment("right", 0.83, 0.6), fragment("left", 0.82, 0.1)}),
              QStringLiteral("left right"));
    // Exactly 0.6 of the larger height apart opens a new line; just under joins.
    EXPECT_EQ(
        assembled({fragment("a", 0.5, 0.1, 0.25), fragment("b", 0.5 - 0.6 * 0.25, 0.5, 0.25)}),
        QStringLiteral("a\nb"));
    EXPECT_EQ(
        assembled({fragment("b", 0.5 - 0.59 * 0.25, 0.5, 0.25), fragment("a", 0.5, 0.1, 0.25)}),
        QStringLiteral("a b"));
    // A slanted run drifting down stays on the line only while it is near where the line began,
    // even though each fragment is near its neighbour.
    EXPECT_EQ(assembled({fragment("one", 0.80, 0.1), fragment("two", 0.78, 0.3),
                         fragment("three", 0.76, 0.5), fragment("four", 0.74, 0.7)}),
              QStringLiteral("one two\nthree four"));
}

TEST(TextAssemblyTest, WideGapsBetweenLinesBecomeParagraphs) {
    // Mean height 0.05: a gap above 0.11 between line middles is a paragraph break.
    EXPECT_EQ(assembled({fragment("three", 0.60), fragment("one", 0.90), fragment("two", 0.84)}),
              QStringLiteral("one\ntwo\n\nthree"));
}

TEST(TextAssemblyTest, NothingOrOnlyBlanksIsNoText) {
    EXPECT_EQ(assembled({}), std::nullopt);
    EXPECT_EQ(assembled({fragment(" ", 0.9), fragment("\t\n", 0.5), fragment("", 0.3)}),
              std::nullopt);
}

} // namespace
