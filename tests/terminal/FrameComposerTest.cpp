#include "terminal/FrameComposer.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

using namespace Blinkwit;
using BlinkwitCore::Token;
using BlinkwitCore::TokenKind;

namespace {

const Rgb accent{0, 255, 65};
const TerminalTheme dark{true, accent, ColorDepth::trueColor};

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

int rowContaining(const Frame& frame, const std::string& text) {
    for (int row = 0; row < frame.rows(); ++row)
        if (frame.text(row).find(text) != std::string::npos)
            return row;
    return -1;
}

int countCells(const Frame& frame, int row, const std::string& text) {
    int count = 0;
    for (int column = 0; column < frame.columns(); ++column)
        count += frame.at(row, column).text == text ? 1 : 0;
    return count;
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
    for (TerminalSize size : {TerminalSize{80, 24}, TerminalSize{41, 9}, TerminalSize{200, 60}}) {
        const int column = FrameComposer::pivotColumn(size);
        int firstRow = -1;
        for (const auto& [text, pivot] : words) {
            SCOPED_TRACE(text + " at " + std::to_string(size.columns));
            const Frame frame =
                FrameComposer::compose(snapshot(Phase::reading(), word(text)), size, dark);
            const int row = pivotRow(frame);
            ASSERT_GE(row, 1);
            firstRow = firstRow < 0 ? row : firstRow;
            EXPECT_EQ(row, firstRow);
            EXPECT_EQ(frame.at(row, column).text, pivot);
            EXPECT_EQ(frame.at(row - 1, column).text, "\u2502");
            EXPECT_EQ(frame.at(row + 1, column).text, "\u2502");
            // The letters before the pivot end right next to it, in the text colour.
            if (text == "extraordinarily") {
                EXPECT_EQ(frame.text(row).find("extraordinarily"), std::size_t(column - 4));
                EXPECT_EQ(frame.at(row, column - 1).style.foreground, dark.primary());
            }
        }
    }
}

TEST(FrameComposer, OverlongWordIsCutAtTheRightEdgeWithoutWrapping) {
    const std::string text(60, 'w');
    const Frame frame =
        FrameComposer::compose(snapshot(Phase::reading(), word(text)), TerminalSize{30, 10}, dark);
    const int row = pivotRow(frame);
    ASSERT_GE(row, 0);
    EXPECT_EQ(frame.at(row, 28).text, "\u2026");
    EXPECT_EQ(frame.at(row, 29).text, " ");
    EXPECT_EQ(frame.text(row + 1).find('w'), std::string::npos);
}

TEST(FrameComposer, CodeAddressesAndCodeBlocksLookDifferentFromWords) {
    const TerminalSize size{80, 24};
    const int column = FrameComposer::pivotColumn(size);

    const Frame code = FrameComposer::compose(
        snapshot(Phase::reading(), word("src/main.cpp", TokenKind::code())), size, dark);
    const int codeRow = pivotRow(code);
    ASSERT_GE(codeRow, 0);
    EXPECT_TRUE(code.at(codeRow, column).style.underline);
    EXPECT_TRUE(code.at(codeRow, column + 1).style.underline);

    const Frame url = FrameComposer::compose(
        snapshot(Phase::reading(), word("example.org", TokenKind::url())), size, dark);
    EXPECT_EQ(pivotRow(url), -1); // no accent letter
    const int urlRow = rowContaining(url, "example.org");
    ASSERT_GE(urlRow, 0);
    const int start = int(url.text(urlRow).find("example.org"));
    EXPECT_EQ(start, column - 11 / 2); // centred on the pivot column
    EXPECT_TRUE(url.at(urlRow, start).style.underline);

    Token block = word("[code: python, 3 lines]", TokenKind::codeBlock("python", 3));
    const Frame blockFrame = FrameComposer::compose(snapshot(Phase::reading(), block), size, dark);
    const int blockRow = rowContaining(blockFrame, "[code: python, 3 lines]");
    ASSERT_GE(blockRow, 0);
    EXPECT_EQ(blockFrame.at(blockRow, column).style.background, dark.codeBackground());
}

TEST(FrameComposer, CountdownShowsABigAccentDigitOrASmallOneWhenCramped) {
    const TerminalSize size{80, 24};
    std::vector<std::string> shapes;
    for (int n : {3, 2, 1}) {
        const Frame frame = FrameComposer::compose(snapshot(Phase::countdown(n)), size, dark);
        std::string shape;
        int blockRows = 0;
        for (int row = 0; row < 22; ++row) {
            const int blocks = countCells(frame, row, "\u2588");
            blockRows += blocks > 0 ? 1 : 0;
            shape += frame.text(row);
        }
        EXPECT_EQ(blockRows, 5) << n;
        const int row = rowContaining(frame, "\u2588");
        int column = 0;
        while (frame.at(row, column).text != "\u2588")
            ++column;
        EXPECT_EQ(frame.at(row, column).style.foreground, accent);
        shapes.push_back(shape);
    }
    EXPECT_NE(shapes[0], shapes[1]);
    EXPECT_NE(shapes[1], shapes[2]);

    const Frame small =
        FrameComposer::compose(snapshot(Phase::countdown(3)), TerminalSize{20, 6}, dark);
    EXPECT_GE(rowContaining(small, "3"), 0);
}

TEST(FrameComposer, PausedShowsTheSentenceAndHintAndRaisesTheWord) {
    const TerminalSize size{80, 24};
    const int readingRow =
        pivotRow(FrameComposer::compose(snapshot(Phase::reading(), word("fox")), size, dark));
    const Frame paused = FrameComposer::compose(snapshot(Phase::paused(), word("fox")), size, dark);
    const int pausedRow = pivotRow(paused);
    EXPECT_LT(pausedRow, readingRow);
    const int sentenceRow = rowContaining(paused, "The quick brown fox jumps.");
    const int hintRow =
        rowContaining(paused, "Space to resume \u00b7 \u2190\u2192 sentences \u00b7 "
                              "\u21e7\u2190\u2192 paragraphs");
    EXPECT_GT(sentenceRow, pausedRow + 1);
    EXPECT_EQ(hintRow, sentenceRow + 1);
    EXPECT_LT(hintRow, 22); // above the footer
    EXPECT_EQ(
        rowContaining(FrameComposer::compose(snapshot(Phase::reading(), word("fox")), size, dark),
                      "The quick"),
        -1);

    ReaderSnapshot onBlock =
        snapshot(Phase::paused(), word("[code]", TokenKind::codeBlock(std::nullopt, 2)));
    EXPECT_GE(rowContaining(FrameComposer::compose(onBlock, size, dark),
                            "Space to resume \u00b7 Enter to expand code \u00b7 \u2190\u2192 "
                            "sentences"),
              0);

    ReaderSnapshot longSentence = snapshot(Phase::paused(), word("fox"));
    longSentence.sentence.clear();
    for (int i = 0; i < 60; ++i)
        longSentence.sentence += "word" + std::to_string(i) + " ";
    const Frame cut = FrameComposer::compose(longSentence, size, dark);
    const int first = rowContaining(cut, "word0 ");
    ASSERT_GE(first, 0);
    EXPECT_NE(cut.text(first + 1).find("\u2026"), std::string::npos);
    EXPECT_EQ(rowContaining(cut, "word59"), -1);

    // Even a short terminal keeps the word and its marks on screen while paused.
    const Frame shortFrame =
        FrameComposer::compose(snapshot(Phase::paused(), word("fox")), TerminalSize{40, 7}, dark);
    EXPECT_GE(pivotRow(shortFrame), 1);
}

TEST(FrameComposer, FooterShowsProgressRateTimeAndKeys) {
    const TerminalSize size{80, 24};
    const auto filled = [&](double progress) {
        ReaderSnapshot s = snapshot(Phase::reading(), word("fox"));
        s.progress = progress;
        return countCells(FrameComposer::compose(s, size, dark), 22, "\u2501");
    };
    EXPECT_EQ(filled(0.0), 1); // a stub even at the start
    EXPECT_EQ(filled(0.5), 38);
    EXPECT_EQ(filled(1.0), 76);
    EXPECT_EQ(filled(std::nan("")), 1);
    EXPECT_EQ(filled(7.0), 76);

    const Frame frame = FrameComposer::compose(snapshot(Phase::reading(), word("fox")), size, dark);
    const std::string labels = frame.text(23);
    EXPECT_EQ(labels.find("425 WPM"), 2u);
    EXPECT_NE(labels.find("space pause \u00b7 \u2191\u2193 speed \u00b7 \u2190\u2192 jump \u00b7 "
                          "esc close"),
              std::string::npos);
    EXPECT_TRUE(labels.ends_with("0:07 left  "));

    // Clicks: the bar's row and its neighbours hit it; the fraction runs across the bar only.
    EXPECT_TRUE(FrameComposer::onProgressBar(size, 22));
    EXPECT_TRUE(FrameComposer::onProgressBar(size, 23));
    EXPECT_FALSE(FrameComposer::onProgressBar(size, 18));
    EXPECT_EQ(FrameComposer::progressFraction(size, 0), 0.0);
    EXPECT_EQ(FrameComposer::progressFraction(size, 79), 1.0);
    EXPECT_DOUBLE_EQ(FrameComposer::progressFraction(size, 39), 37.5 / 76);

    const Frame narrow =
        FrameComposer::compose(snapshot(Phase::reading(), word("fox")), TerminalSize{30, 10}, dark);
    EXPECT_EQ(narrow.text(9).find("space pause"), std::string::npos);
    EXPECT_NE(narrow.text(9).find("425 WPM"), std::string::npos);
    EXPECT_NE(narrow.text(9).find("0:07 left"), std::string::npos);
}

TEST(FrameComposer, RateOverlayAppearsAtTheTopOnlyWhileVisible) {
    ReaderSnapshot s = snapshot(Phase::reading(), word("fox"));
    EXPECT_EQ(FrameComposer::compose(s, {80, 24}, dark).text(1).find("WPM"), std::string::npos);
    s.wpmOverlayVisible = true;
    const Frame frame = FrameComposer::compose(s, {80, 24}, dark);
    EXPECT_EQ(frame.text(1).find(" 425 WPM "), 35u);
    EXPECT_EQ(frame.at(1, 40).style.background, accent.over(dark.background(), 0.35));
}

TEST(FrameComposer, EmptyAndFinishedScreens) {
    const Frame empty = FrameComposer::compose(snapshot(Phase::empty()), {80, 24}, dark);
    EXPECT_GE(rowContaining(empty, "Nothing to read"), 0);
    EXPECT_GE(rowContaining(empty, "Esc to close"), 0);

    const Frame done = FrameComposer::compose(snapshot(Phase::finished()), {80, 24}, dark);
    EXPECT_GE(rowContaining(done, "Done \u2014 12 words"), 0);
    EXPECT_GE(rowContaining(done, "Space to replay \u00b7 \u2190 to step back \u00b7 Esc to close"),
              0);
    EXPECT_EQ(pivotRow(done), -1);
}

TEST(FrameComposer, ExpandedCodeScrollsBothWaysInsideABox) {
    std::string code;
    for (int i = 1; i <= 40; ++i)
        code += "line" + std::to_string(i) + " " + std::string(std::size_t(i * 3), 'x') + "\n";
    Token block = word("[code]", TokenKind::codeBlock("c", 40));
    block.codeContent = code;
    ReaderSnapshot s = snapshot(Phase::paused(), block);
    s.expandedCodeVisible = true;
    const TerminalSize size{80, 24};
    const FrameComposer::CodeViewport view = FrameComposer::codeViewport(size);
    ASSERT_GT(view.rows, 3);

    Frame frame = FrameComposer::compose(s, size, dark);
    EXPECT_GE(rowContaining(frame, "Enter or Esc to collapse and resume"), 0);
    EXPECT_GE(rowContaining(frame, " 1\u2013" + std::to_string(view.rows) + " of 40 "), 0);
    EXPECT_EQ(rowContaining(frame, "The quick brown"), -1); // sentence hidden
    const int top = rowContaining(frame, "line1 ");
    EXPECT_GT(top, pivotRow(frame)); // under the word
    EXPECT_EQ(rowContaining(frame, "line" + std::to_string(view.rows) + " "), top + view.rows - 1);
    EXPECT_EQ(rowContaining(frame, "line" + std::to_string(view.rows + 1) + " "), -1);

    s.codeLine = 5;
    s.codeColumn = 3;
    frame = FrameComposer::compose(s, size, dark);
    const int row = rowContaining(frame, "e6 xx");
    EXPECT_EQ(row, top);
    EXPECT_NE(frame.text(row).find("\u2039"), std::string::npos); // scrolled right

    s.codeLine = 1000;
    s.codeColumn = 1000;
    frame = FrameComposer::compose(s, size, dark);
    EXPECT_GE(rowContaining(frame, " of 40 "), 0);
    EXPECT_GE(rowContaining(frame, std::string(20, 'x')), 0); // clamped, still shows code
}

TEST(FrameComposer, WithoutColourAttributesCarryTheRoles) {
    const TerminalTheme mono{true, accent, ColorDepth::none};
    ReaderSnapshot s = snapshot(Phase::reading(), word("reading"));
    s.wpmOverlayVisible = true;
    const Frame frame = FrameComposer::compose(s, {80, 24}, mono);
    for (int row = 0; row < frame.rows(); ++row)
        for (int column = 0; column < frame.columns(); ++column) {
            EXPECT_FALSE(frame.at(row, column).style.foreground.has_value());
            EXPECT_FALSE(frame.at(row, column).style.background.has_value());
        }
    const int row = rowContaining(frame, "reading");
    EXPECT_TRUE(frame.at(row, 40).style.bold && frame.at(row, 40).style.underline);
    EXPECT_FALSE(frame.at(row, 39).style.underline);
    EXPECT_TRUE(frame.at(1, 40).style.reverse); // the rate badge

    const TerminalTheme light{false, accent, ColorDepth::trueColor};
    const Frame lit = FrameComposer::compose(s, {80, 24}, light);
    EXPECT_GT(lit.at(0, 0).style.background->red, 200);
    EXPECT_LT(lit.at(row, 39).style.foreground->red, 40);
}

TEST(FrameComposer, AnySizeComposesWithinBounds) {
    Token block = word("[code]", TokenKind::codeBlock(std::nullopt, 1));
    block.codeContent = "int main() { return 0; }";
    std::vector<ReaderSnapshot> states{
        snapshot(Phase::countdown(3)),        snapshot(Phase::empty()),
        snapshot(Phase::finished()),          snapshot(Phase::reading(), word("international")),
        snapshot(Phase::paused(), word("x")), snapshot(Phase::paused(), block)};
    states.back().expandedCodeVisible = true;
    states.back().wpmOverlayVisible = true;
    for (int columns = 0; columns <= 24; columns += 3)
        for (int rows = 0; rows <= 12; ++rows)
            for (const ReaderSnapshot& s : states) {
                const Frame frame = FrameComposer::compose(s, {columns, rows}, dark);
                EXPECT_EQ(frame.columns(), columns);
                EXPECT_EQ(frame.rows(), rows);
            }
}
