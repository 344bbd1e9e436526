#include "terminal/FrameComposer.h"

#include "terminal/CodeLines.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace Blinkwit;
using BlinkwitCore::Token;
using BlinkwitCore::TokenKind;

namespace {

const Rgb accent{0, 255, 65};
const TerminalTheme dark{true, accent, ColorDepth::trueColor};
const TerminalSize standard{80, 24};

Token word(std::string text, TokenKind kind = TokenKind::word()) {
    return Token{.text = std::move(text), .kind = kind};
}

ReaderSnapshot snapshot(Phase phase, std::optional<Token> current = std::nullopt) {
    ReaderSnapshot s;
    s.phase = phase;
    s.current = std::move(current);
    s.tokenCount = 12;
    s.wpm = 425;
    s.progress = 0.5;
    s.remainingLabel = "0:07 left";
    s.sentence = "The quick brown fox jumps.";
    return s;
}

Frame compose(const ReaderSnapshot& s, TerminalSize size = standard) {
    return FrameComposer::compose(s, size, dark);
}

int rowContaining(const Frame& frame, const std::string& text) {
    for (int row = 0; row < frame.rows(); ++row)
        if (frame.text(row).find(text) != std::string::npos)
            return row;
    return -1;
}

// The row whose pivot column holds an accent-coloured cell, or -1.
int pivotRow(const Frame& frame) {
    const int column = FrameComposer::pivotColumn({frame.columns(), frame.rows()});
    for (int row = 0; row < frame.rows(); ++row)
        if (frame.at(row, column).style.foreground == accent)
            return row;
    return -1;
}

} // namespace

TEST(FrameComposer, PivotLetterStaysOnOneColumnBetweenTheMarks) {
    const std::vector<std::pair<std::string, std::string>> words{
        {"a", "a"},           {"to", "o"},
        {"reading", "a"},     {"extraordinarily", "a"},
        {"cafe\u0301s", "a"}, {"\u65e5\u672c\u8a9e\u3067\u3059", "\u672c"},
        {"(hello,", "e"}};
    for (TerminalSize size : {standard, TerminalSize{41, 9}, TerminalSize{200, 60}}) {
        const int column = FrameComposer::pivotColumn(size);
        int firstRow = -1;
        for (const auto& [text, pivot] : words) {
            SCOPED_TRACE(text + " at " + std::to_string(size.columns));
            const Frame frame = compose(snapshot(Phase::reading(), word(text)), size);
            const int row = pivotRow(frame);
            ASSERT_GE(row, 1);
            firstRow = firstRow < 0 ? row : firstRow;
            EXPECT_EQ(row, firstRow);
            EXPECT_EQ(frame.at(row, column).text, pivot);
            EXPECT_EQ(frame.at(row - 1, column).text, "\u2502");
            EXPECT_EQ(frame.at(row + 1, column).text, "\u2502");
            // The letters before the pivot end right next to it, in the text colour.
            if (text == "extraordinarily") {
                EXPECT_EQ(frame.text(row).find(text), std::size_t(column - 4));
                EXPECT_EQ(frame.at(row, column - 1).style.foreground, dark.primary());
            }
        }
    }
}

TEST(FrameComposer, OverlongWordIsCutAtTheRightEdgeWithoutWrapping) {
    const Frame frame = compose(snapshot(Phase::reading(), word(std::string(60, 'w'))), {30, 10});
    const int row = pivotRow(frame);
    ASSERT_GE(row, 0);
    EXPECT_EQ(frame.at(row, 28).text, "\u2026");
    EXPECT_EQ(frame.at(row, 29).text, " ");
    EXPECT_EQ(frame.text(row + 1).find('w'), std::string::npos);
}

TEST(FrameComposer, CodeAddressesAndCodeBlocksLookDifferentFromWords) {
    const int column = FrameComposer::pivotColumn(standard);
    const Frame code = compose(snapshot(Phase::reading(), word("src/main.cpp", TokenKind::code())));
    const int codeRow = pivotRow(code);
    ASSERT_GE(codeRow, 0);
    EXPECT_TRUE(code.at(codeRow, column).style.underline);
    EXPECT_TRUE(code.at(codeRow, column + 1).style.underline);

    const Frame url = compose(snapshot(Phase::reading(), word("example.org", TokenKind::url())));
    EXPECT_EQ(pivotRow(url), -1); // no accent letter
    const int urlRow = rowContaining(url, "example.org");
    ASSERT_GE(urlRow, 0);
    const int start = int(url.text(urlRow).find("example.org"));
    EXPECT_EQ(start, column - 11 / 2); // centred on the pivot column
    EXPECT_TRUE(url.at(urlRow, start).style.underline);

    const Frame block = compose(snapshot(
        Phase::reading(), word("[code: python, 3 lines]", TokenKind::codeBlock("python", 3))));
    const int blockRow = rowContaining(block, "[code: python, 3 lines]");
    ASSERT_GE(blockRow, 0);
    EXPECT_EQ(block.at(blockRow, column).style.background, dark.codeBackground());
}

TEST(FrameComposer, PausedRaisesTheWordOverTheCutSentenceAndTheMatchingHint) {
    const Frame reading = compose(snapshot(Phase::reading(), word("fox")));
    EXPECT_EQ(rowContaining(reading, "The quick"), -1);
    ReaderSnapshot s = snapshot(Phase::paused(), word("fox"));
    s.sentence.clear();
    for (int i = 0; i < 60; ++i)
        s.sentence += "word" + std::to_string(i) + " ";
    const Frame paused = compose(s);
    const int first = rowContaining(paused, "word0 ");
    EXPECT_LT(pivotRow(paused), pivotRow(reading));
    EXPECT_GT(first, pivotRow(paused) + 1);
    EXPECT_NE(paused.text(first + 1).find("\u2026"), std::string::npos);
    EXPECT_EQ(rowContaining(paused, "word59"), -1);
    EXPECT_LT(rowContaining(paused, "Space to resume"), 22); // above the footer

    const Frame onBlock =
        compose(snapshot(Phase::paused(), word("[code]", TokenKind::codeBlock(std::nullopt, 2))));
    EXPECT_GE(rowContaining(onBlock,
                            "Space to resume \u00b7 Enter to expand code \u00b7 \u2190\u2192 "
                            "sentences"),
              0);
    // Even a short terminal keeps the word and its marks on screen while paused.
    EXPECT_GE(pivotRow(compose(snapshot(Phase::paused(), word("fox")), {40, 7})), 1);
}

TEST(FrameComposer, FooterShowsProgressRateTimeAndKeysAndMapsClicks) {
    for (const auto [progress, cells] :
         {std::pair{0.0, 1}, {0.5, 38}, {1.0, 76}, {std::nan(""), 1}, {7.0, 76}}) {
        ReaderSnapshot s = snapshot(Phase::reading(), word("fox"));
        s.progress = progress;
        const Frame frame = compose(s);
        int filled = 0;
        for (int column = 0; column < frame.columns(); ++column)
            filled += frame.at(22, column).text == "\u2501" ? 1 : 0;
        EXPECT_EQ(filled, cells) << progress; // a stub even at the start
    }
    const std::string labels = compose(snapshot(Phase::reading(), word("fox"))).text(23);
    EXPECT_EQ(labels.find("425 WPM"), 2u);
    EXPECT_NE(labels.find("space pause \u00b7 \u2191\u2193 speed \u00b7 \u2190\u2192 jump \u00b7 "
                          "esc close"),
              std::string::npos);
    EXPECT_TRUE(labels.ends_with("0:07 left  "));
    const std::string narrow = compose(snapshot(Phase::reading(), word("fox")), {30, 10}).text(9);
    EXPECT_EQ(narrow.find("space pause"), std::string::npos);
    EXPECT_NE(narrow.find("425 WPM"), std::string::npos);
    EXPECT_NE(narrow.find("0:07 left"), std::string::npos);

    // The bar's row and its neighbours take clicks; the fraction runs across the bar only.
    EXPECT_TRUE(FrameComposer::onProgressBar(standard, 23));
    EXPECT_FALSE(FrameComposer::onProgressBar(standard, 18));
    EXPECT_EQ(FrameComposer::progressFraction(standard, 0), 0.0);
    EXPECT_EQ(FrameComposer::progressFraction(standard, 79), 1.0);
    EXPECT_DOUBLE_EQ(FrameComposer::progressFraction(standard, 39), 37.5 / 76);
}

TEST(FrameComposer, EmptyFinishedPreparingAndCrampedCountdownScreens) {
    for (const auto& [phase, text] :
         {std::pair{Phase::empty(), "Nothing to read"},
          {Phase::empty(), "Esc to close"},
          {Phase::preparing(), "Preparing\u2026"},
          {Phase::preparing(), "Esc to cancel"},
          {Phase::finished(), "Done \u2014 12 words"},
          {Phase::finished(), "Space to replay \u00b7 \u2190 to step back \u00b7 Esc to close"}})
        EXPECT_GE(rowContaining(compose(snapshot(phase)), text), 0) << text;
    EXPECT_EQ(pivotRow(compose(snapshot(Phase::finished()))), -1);
    EXPECT_GE(rowContaining(compose(snapshot(Phase::countdown(3)), {20, 6}), "3"), 0);
}

TEST(FrameComposer, ExpandedCodeScrollsBothWaysInsideABox) {
    std::string code;
    for (int i = 1; i <= 40; ++i)
        code += "line" + std::to_string(i) + " " + std::string(std::size_t(i * 3), 'x') + "\n";
    ReaderSnapshot s = snapshot(Phase::paused(), word("[code]", TokenKind::codeBlock("c", 40)));
    s.expandedCodeVisible = true;
    s.code = std::make_shared<const CodeLines>(code);
    const int rows = FrameComposer::codeViewport(standard).rows;
    ASSERT_GT(rows, 3);

    Frame frame = compose(s);
    EXPECT_GE(rowContaining(frame, " 1\u2013" + std::to_string(rows) + " of 40 "), 0);
    // The footer names the code view's keys, not the reader's.
    EXPECT_GE(rowContaining(frame, "PgUp PgDn Home End scroll"), 0);
    EXPECT_EQ(rowContaining(frame, "space pause"), -1);
    EXPECT_EQ(rowContaining(frame, "The quick brown"), -1); // sentence hidden
    const int top = rowContaining(frame, "line1 ");
    EXPECT_GT(top, pivotRow(frame)); // under the word
    EXPECT_EQ(rowContaining(frame, "line" + std::to_string(rows) + " "), top + rows - 1);
    EXPECT_EQ(rowContaining(frame, "line" + std::to_string(rows + 1) + " "), -1);

    s.codeLine = 5;
    s.codeColumn = 3;
    frame = compose(s);
    const int row = rowContaining(frame, "e6 xx");
    EXPECT_EQ(row, top);
    EXPECT_NE(frame.text(row).find("\u2039"), std::string::npos); // scrolled right

    s.codeLine = 1000;
    s.codeColumn = 1000;
    frame = compose(s);
    EXPECT_GE(rowContaining(frame, std::string(20, 'x')), 0); // clamped, still shows code
}

TEST(FrameComposer, WithoutColourAttributesCarryTheRoles) {
    const TerminalTheme mono{true, accent, ColorDepth::none};
    ReaderSnapshot s = snapshot(Phase::reading(), word("reading"));
    EXPECT_EQ(compose(s).text(1).find("WPM"), std::string::npos); // the rate badge is hidden
    s.wpmOverlayVisible = true;
    const Frame frame = FrameComposer::compose(s, standard, mono);
    for (int row = 0; row < frame.rows(); ++row)
        for (int column = 0; column < frame.columns(); ++column) {
            EXPECT_FALSE(frame.at(row, column).style.foreground.has_value());
            EXPECT_FALSE(frame.at(row, column).style.background.has_value());
        }
    const int row = rowContaining(frame, "reading");
    EXPECT_TRUE(frame.at(row, 40).style.bold && frame.at(row, 40).style.underline);
    EXPECT_FALSE(frame.at(row, 39).style.underline);
    EXPECT_EQ(frame.text(1).find(" 425 WPM "), 35u);
    EXPECT_TRUE(frame.at(1, 40).style.reverse);

    const Frame lit = FrameComposer::compose(s, standard, {false, accent, ColorDepth::trueColor});
    EXPECT_GT(lit.at(0, 0).style.background->red, 200);
    EXPECT_LT(lit.at(row, 39).style.foreground->red, 40);
}

TEST(FrameComposer, AnySizeComposesWithinBounds) {
    std::vector<ReaderSnapshot> states{
        snapshot(Phase::countdown(3)),
        snapshot(Phase::empty()),
        snapshot(Phase::finished()),
        snapshot(Phase::preparing()),
        snapshot(Phase::reading(), word("international")),
        snapshot(Phase::paused(), word("x")),
        snapshot(Phase::paused(), word("[code]", TokenKind::codeBlock(std::nullopt, 1)))};
    states.back().expandedCodeVisible = true;
    states.back().code = std::make_shared<const CodeLines>("int main() { return 0; }");
    states.back().wpmOverlayVisible = true;
    for (int columns = 0; columns <= 24; columns += 3)
        for (int rows = 0; rows <= 12; ++rows)
            for (const ReaderSnapshot& s : states) {
                const Frame frame = compose(s, {columns, rows});
                EXPECT_EQ(frame.columns(), columns);
                EXPECT_EQ(frame.rows(), rows);
            }
}
