#include "FrameComposer.h"

#include "CodeLines.h"
#include "core/ORP.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace Blinkwit {

namespace {

using BlinkwitCore::Token;
using BlinkwitCore::TokenKind;

constexpr int footerRows = 2;
constexpr const char* tickMark = "\u2502";
constexpr const char* footerHint = "space pause \u00b7 \u2191\u2193 speed \u00b7 \u2190\u2192 jump "
                                   "\u00b7 esc close";
constexpr const char* codeFooterHint = "\u2191\u2193\u2190\u2192 PgUp PgDn Home End scroll \u00b7 "
                                       "esc collapse";

// Geometry shared by composing and by the code viewport.
struct Layout {
    int columns = 0;
    int rows = 0;
    bool footer = false;
    int stageRows = 0;
    int margin = 0;

    explicit Layout(TerminalSize size)
        : columns(std::max(size.columns, 0))
        , rows(std::max(size.rows, 0))
        , footer(rows >= 6)
        , stageRows(footer ? rows - footerRows : rows)
        , margin(columns >= 20 ? 2 : 0) {}

    // With a code block expanded, the word keeps the upper rows and the code the rest.
    int wordRowsWhenExpanded() const { return stageRows >= 8 ? std::max(3, stageRows * 2 / 5) : 0; }
};

struct TextLine {
    std::string text;
    CellStyle style;
};

// The countdown digits, three cells wide and five high, each cell drawn twice as wide so the
// figure looks upright in terminal cells.
constexpr std::array<std::array<const char*, 5>, 10> bigDigits{{
    {"###", "# #", "# #", "# #", "###"},
    {" # ", "## ", " # ", " # ", "###"},
    {"###", "  #", "###", "#  ", "###"},
    {"###", "  #", "###", "  #", "###"},
    {"# #", "# #", "###", "  #", "  #"},
    {"###", "#  ", "###", "  #", "###"},
    {"###", "#  ", "###", "# #", "###"},
    {"###", "  #", "  #", "  #", "  #"},
    {"###", "# #", "###", "# #", "###"},
    {"###", "# #", "###", "  #", "###"},
}};

std::string bigDigitRow(const std::string& number, int row) {
    std::string line;
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (i > 0)
            line += "  ";
        for (const char* c = bigDigits[std::size_t(number[i] - '0')][std::size_t(row)]; *c; ++c)
            line += *c == '#' ? "\u2588\u2588" : "  ";
    }
    return line;
}

void drawCountdown(Frame& frame, const Layout& layout, int number, const TerminalTheme& theme) {
    const std::string digits = std::to_string(number);
    const bool allDigits =
        std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
    const int bigWidth = int(digits.size()) * 8 - 2;
    if (!allDigits || layout.stageRows < 7 || layout.columns < bigWidth + 2) {
        frame.putCentred(layout.stageRows / 2, digits, theme.countdown());
        return;
    }
    const int top = (layout.stageRows - 5) / 2;
    for (int row = 0; row < 5; ++row)
        frame.putCentred(top + row, bigDigitRow(digits, row), theme.countdown());
}

// Lines stacked and centred in the stage, one blank row between them when there is room;
// lines that do not fit the stage are dropped from the top (the icon goes first).
void drawCentredBlock(Frame& frame, const Layout& layout, const std::vector<TextLine>& block) {
    const int width = std::max(1, layout.columns - 2 * std::max(layout.margin, 1));
    std::vector<TextLine> lines;
    for (const TextLine& item : block)
        for (std::string& piece : TerminalText::wrap(item.text, width))
            lines.push_back({std::move(piece), item.style});
    const bool spaced = int(lines.size()) * 2 - 1 <= layout.stageRows;
    const int step = spaced ? 2 : 1;
    while (!lines.empty() && int(lines.size()) > layout.stageRows)
        lines.erase(lines.begin());
    const int height = int(lines.size()) * step - (step - 1);
    int row = (layout.stageRows - height) / 2;
    for (const TextLine& line : lines) {
        frame.putCentred(row, line.text, line.style);
        row += step;
    }
}

void drawEmpty(Frame& frame, const Layout& layout, const TerminalTheme& theme) {
    drawCentredBlock(
        frame, layout,
        {{"\u25a1", theme.hint()},
         {"Nothing to read", theme.title()},
         {"Pipe some text in, or name a file: blinkwit read --terminal FILE", theme.body()},
         {"Esc to close", theme.hint()}});
}

void drawPreparing(Frame& frame, const Layout& layout, const TerminalTheme& theme) {
    drawCentredBlock(frame, layout,
                     {{"Preparing\u2026", theme.title()}, {"Esc to cancel", theme.hint()}});
}

void drawFinished(Frame& frame, const Layout& layout, std::int64_t words,
                  const TerminalTheme& theme) {
    drawCentredBlock(
        frame, layout,
        {{"\u2713", theme.countdown()},
         {"Done \u2014 " + std::to_string(words) + " words", theme.title()},
         {"Space to replay \u00b7 \u2190 to step back \u00b7 Esc to close", theme.body()}});
}

void drawTicks(Frame& frame, int wordRow, int areaRows, int column, const TerminalTheme& theme) {
    for (int row : {wordRow - 1, wordRow + 1})
        if (row >= 0 && row < areaRows)
            frame.put(row, column, tickMark, theme.tick());
}

// Word and code tokens: the pivot letter on the pivot column, the rest around it, cut with an
// ellipsis where it would leave the screen.
void drawPivoted(Frame& frame, const Layout& layout, int row, const Token& token,
                 const TerminalTheme& theme) {
    std::vector<Glyph> glyphs = TerminalText::glyphs(token.text);
    if (glyphs.empty())
        return;
    const std::size_t pivot =
        std::min(std::size_t(BlinkwitCore::ORP::index(token.text)), glyphs.size() - 1);
    const bool code = token.kind.kind() == TokenKind::Case::code;
    CellStyle wordStyle = theme.word();
    CellStyle pivotStyle = theme.pivot();
    wordStyle.underline = wordStyle.underline || code;
    pivotStyle.underline = pivotStyle.underline || code;

    const int column = FrameComposer::pivotColumn({layout.columns, layout.rows});
    const std::vector<Glyph> before(glyphs.begin(), glyphs.begin() + std::ptrdiff_t(pivot));
    const std::vector<Glyph> after(glyphs.begin() + std::ptrdiff_t(pivot) + 1, glyphs.end());
    frame.put(row, column - TerminalText::width(before), before, wordStyle);
    const int afterStart = frame.put(row, column, {glyphs[pivot]}, pivotStyle);
    const int room = layout.columns - std::max(layout.margin / 2, 0) - afterStart;
    frame.put(row, afterStart, TerminalText::fit(after, room), wordStyle);
}

// Addresses and collapsed code blocks: the whole text, centred on the pivot column.
void drawWhole(Frame& frame, const Layout& layout, int row, const Token& token,
               const TerminalTheme& theme) {
    const bool block = token.isCodeBlock();
    std::string text = block ? " " + token.text + " " : token.text;
    const std::vector<Glyph> glyphs =
        TerminalText::fit(TerminalText::glyphs(text), layout.columns - 2 * layout.margin);
    const int column = FrameComposer::pivotColumn({layout.columns, layout.rows});
    frame.put(row, column - TerminalText::width(glyphs) / 2, glyphs,
              block ? theme.codeBlock() : theme.address());
}

void drawToken(Frame& frame, const Layout& layout, int row, const Token& token,
               const TerminalTheme& theme) {
    const auto kind = token.kind.kind();
    if (kind == TokenKind::Case::word || kind == TokenKind::Case::code)
        drawPivoted(frame, layout, row, token, theme);
    else
        drawWhole(frame, layout, row, token, theme);
}

std::vector<std::string> sentenceLines(const std::string& sentence, int width) {
    std::vector<std::string> lines = TerminalText::wrap(sentence, width);
    if (lines.size() <= 2)
        return lines;
    // More than two lines: the second ends in an ellipsis.
    const std::string rest = lines[1] + " " + lines[2];
    lines.resize(2);
    std::string cut;
    for (const Glyph& glyph : TerminalText::fit(TerminalText::glyphs(rest), width))
        cut += glyph.text;
    lines[1] = cut;
    return lines;
}

// While paused: the word moves up and the sentence with the key hint sits at the stage's foot.
// Returns the word's row.
// The Linux way of naming the key, as in the panel: "⇧←→ paragraphs" -> "Shift+←→ paragraphs".
int drawPausedBlock(Frame& frame, const Layout& layout, const ReaderSnapshot& snapshot,
                    const TerminalTheme& theme) {
    const int padding = layout.columns >= 40 ? 4 : 1;
    const std::vector<std::string> lines =
        sentenceLines(snapshot.sentence, std::max(1, layout.columns - 2 * padding));
    const bool codeBlock = snapshot.current && snapshot.current->isCodeBlock();
    const char* hint = codeBlock
                           ? "Space to resume \u00b7 Enter to expand code \u00b7 \u2190\u2192 "
                             "sentences"
                           : "Space to resume \u00b7 \u2190\u2192 sentences \u00b7 "
                             "Shift+\u2190\u2192 paragraphs";
    const int preferred = int(std::lround(0.42 * layout.stageRows));
    const int available = int(lines.size());
    const std::array<std::pair<int, bool>, 3> choices{
        {{available, true}, {std::min(available, 1), true}, {std::min(available, 1), false}}};
    for (const auto& [count, withHint] : choices) {
        const int blockRows = count + (withHint ? 1 : 0);
        const int blockStart = layout.stageRows - 1 - blockRows;
        const int wordRow = std::min(preferred, blockStart - 2);
        if (blockRows == 0 || wordRow < 1)
            continue;
        for (int i = 0; i < count; ++i)
            frame.putCentred(blockStart + i, lines[std::size_t(i)], theme.body());
        if (withHint)
            frame.putCentred(blockStart + count, hint, theme.hint());
        return wordRow;
    }
    return layout.stageRows / 2;
}

void drawCodeBorder(Frame& frame, int row, int left, int width, const std::string& label,
                    const char* corners, const TerminalTheme& theme) {
    const std::vector<Glyph> ends = TerminalText::glyphs(corners);
    frame.put(row, left, {ends[0]}, theme.codeBorder());
    for (int column = left + 1; column < left + width - 1; ++column)
        frame.put(row, column, "\u2500", theme.codeBorder());
    frame.put(row, left + width - 1, {ends[1]}, theme.codeBorder());
    const int labelWidth = TerminalText::width(label);
    if (!label.empty() && labelWidth + 4 <= width)
        frame.put(row, left + width - 2 - labelWidth, label, theme.codeBorder());
}

void drawCode(Frame& frame, const Layout& layout, int top, const CodeLines& lines,
              const ReaderSnapshot& snapshot, const TerminalTheme& theme) {
    const int rows = layout.stageRows - top;
    const int left = layout.margin;
    const int width = layout.columns - 2 * layout.margin;
    const FrameComposer::CodeViewport view =
        FrameComposer::codeViewport({layout.columns, layout.rows});
    if (view.rows <= 0 || view.columns <= 0)
        return;
    const int first = std::clamp(snapshot.codeLine, 0, std::max(0, lines.count() - view.rows));
    const int shift =
        std::clamp(snapshot.codeColumn, 0, std::max(0, lines.widest() - view.columns));
    const int last = std::min(lines.count(), first + view.rows);
    const std::string position = lines.count() > view.rows
                                     ? " " + std::to_string(first + 1) + "\u2013" +
                                           std::to_string(last) + " of " +
                                           std::to_string(lines.count()) + " "
                                     : std::string();
    drawCodeBorder(frame, top, left, width, position, "\u256d\u256e", theme);
    drawCodeBorder(frame, top + rows - 1, left, width, " Enter or Esc to collapse and resume ",
                   "\u2570\u256f", theme);
    for (int i = 0; i < view.rows; ++i) {
        const int row = top + 1 + i;
        frame.put(row, left, "\u2502", theme.codeBorder());
        frame.fill(row, left + 1, width - 2, theme.codeText());
        frame.put(row, left + width - 1, "\u2502", theme.codeBorder());
        if (first + i >= lines.count())
            continue;
        frame.put(row, left + 2, lines.slice(first + i, shift, view.columns), theme.codeText());
        if (shift > 0 && !lines.line(first + i).empty())
            frame.put(row, left + 1, "\u2039", theme.codeBorder());
        if (TerminalText::width(lines.line(first + i)) > shift + view.columns)
            frame.put(row, left + width - 2, "\u203a", theme.codeBorder());
    }
}

bool showsCode(const ReaderSnapshot& snapshot) {
    return snapshot.expandedCodeVisible && snapshot.code;
}

void drawStage(Frame& frame, const Layout& layout, const ReaderSnapshot& snapshot,
               const TerminalTheme& theme) {
    const bool expanded = showsCode(snapshot) && layout.stageRows >= 3;
    const bool paused = snapshot.phase.is(Phase::Case::paused);
    const int column = FrameComposer::pivotColumn({layout.columns, layout.rows});
    int wordRows = layout.stageRows;
    int wordRow = layout.stageRows / 2;
    if (expanded) {
        wordRows = layout.wordRowsWhenExpanded();
        wordRow = wordRows / 2;
        drawCode(frame, layout, wordRows, *snapshot.code, snapshot, theme);
    } else if (paused) {
        wordRow = drawPausedBlock(frame, layout, snapshot, theme);
    }
    if (wordRows == 0)
        return;
    drawTicks(frame, wordRow, wordRows, column, theme);
    if (snapshot.current)
        drawToken(frame, layout, wordRow, *snapshot.current, theme);
}

void drawFooter(Frame& frame, const Layout& layout, const ReaderSnapshot& snapshot,
                const TerminalTheme& theme) {
    const int barRow = layout.rows - 2;
    const int labelRow = layout.rows - 1;
    const int width = layout.columns - 2 * layout.margin;
    const double progress =
        std::isfinite(snapshot.progress) ? std::clamp(snapshot.progress, 0.0, 1.0) : 0.0;
    // Even at the start a one-cell stub shows where the bar is.
    const int filled = std::clamp(int(std::lround(width * progress)), 1, std::max(width, 1));
    for (int i = 0; i < width; ++i)
        frame.put(barRow, layout.margin + i, i < filled ? "\u2501" : "\u2500",
                  i < filled ? theme.progressFill() : theme.progressTrack());

    const std::string rate = std::to_string(snapshot.wpm) + " WPM";
    const int rateEnd = frame.put(labelRow, layout.margin, rate, theme.hint());
    const int remainingWidth = TerminalText::width(snapshot.remainingLabel);
    const int remainingStart = layout.columns - layout.margin - remainingWidth;
    if (remainingStart >= rateEnd + 1)
        frame.put(labelRow, remainingStart, snapshot.remainingLabel, theme.hint());
    // The keys of what is on screen: the expanded code's own, or the reader's.
    const char* hint = showsCode(snapshot) ? codeFooterHint : footerHint;
    const int hintWidth = TerminalText::width(hint);
    const int hintStart = (layout.columns - hintWidth) / 2;
    if (hintStart >= rateEnd + 2 && hintStart + hintWidth + 2 <= remainingStart)
        frame.put(labelRow, hintStart, hint, theme.faintHint());
}

void drawOverlay(Frame& frame, const Layout& layout, int wpm, const TerminalTheme& theme) {
    const int row = layout.stageRows >= 4 ? 1 : 0;
    frame.putCentred(row, " " + std::to_string(wpm) + " WPM ", theme.badge());
}

} // namespace

FrameComposer::CodeViewport FrameComposer::codeViewport(TerminalSize size) {
    const Layout layout(size);
    const int codeRows = layout.stageRows - layout.wordRowsWhenExpanded();
    return {std::max(0, codeRows - 2), std::max(0, layout.columns - 2 * layout.margin - 4)};
}

bool FrameComposer::onProgressBar(TerminalSize size, int row) {
    const Layout layout(size);
    return layout.footer && row >= layout.rows - 3 && row <= layout.rows - 1;
}

double FrameComposer::progressFraction(TerminalSize size, int column) {
    const Layout layout(size);
    const int width = std::max(1, layout.columns - 2 * layout.margin);
    // The middle of the clicked cell, as a fraction of the bar.
    return std::clamp((column - layout.margin + 0.5) / width, 0.0, 1.0);
}

Frame FrameComposer::compose(const ReaderSnapshot& snapshot, TerminalSize size,
                             const TerminalTheme& theme) {
    const Layout layout(size);
    Frame frame(layout.columns, layout.rows, theme.base());
    if (layout.columns == 0 || layout.rows == 0)
        return frame;
    switch (snapshot.phase.kind()) {
    case Phase::Case::countdown:
        drawCountdown(frame, layout, snapshot.phase.countdownNumber(), theme);
        break;
    case Phase::Case::empty:
        drawEmpty(frame, layout, theme);
        break;
    case Phase::Case::finished:
        drawFinished(frame, layout, snapshot.tokenCount, theme);
        break;
    case Phase::Case::preparing:
        drawPreparing(frame, layout, theme);
        break;
    case Phase::Case::idle:
    case Phase::Case::reading:
    case Phase::Case::paused:
        drawStage(frame, layout, snapshot, theme);
        break;
    }
    if (layout.footer)
        drawFooter(frame, layout, snapshot, theme);
    if (snapshot.wpmOverlayVisible)
        drawOverlay(frame, layout, snapshot.wpm, theme);
    return frame;
}

} // namespace Blinkwit
