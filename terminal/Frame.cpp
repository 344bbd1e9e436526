#include "Frame.h"

#include <algorithm>

namespace Blinkwit {

Frame::Frame(int columns, int rows, const CellStyle& fill)
    : columns_(std::max(columns, 0))
    , rows_(std::max(rows, 0))
    , cells_(std::size_t(columns_) * std::size_t(rows_), Cell{" ", fill, false}) {}

const Cell& Frame::at(int row, int column) const {
    return cells_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)];
}

Cell& Frame::cell(int row, int column) {
    return cells_[std::size_t(row) * std::size_t(columns_) + std::size_t(column)];
}

bool Frame::contains(int row, int column) const {
    return row >= 0 && row < rows_ && column >= 0 && column < columns_;
}

int Frame::put(int row, int column, const std::vector<Glyph>& glyphs, const CellStyle& style) {
    for (const Glyph& glyph : glyphs) {
        place(row, column, glyph, style);
        column += glyph.width;
    }
    return column;
}

int Frame::put(int row, int column, std::string_view utf8, const CellStyle& style) {
    return put(row, column, TerminalText::glyphs(utf8), style);
}

void Frame::putCentred(int row, std::string_view utf8, const CellStyle& style) {
    const std::vector<Glyph> glyphs = TerminalText::fit(TerminalText::glyphs(utf8), columns_);
    put(row, (columns_ - TerminalText::width(glyphs)) / 2, glyphs, style);
}

void Frame::fill(int row, int column, int count, const CellStyle& style) {
    for (int i = 0; i < count; ++i)
        place(row, column + i, Glyph{" ", 1}, style);
}

std::string Frame::text(int row) const {
    std::string line;
    for (int column = 0; column < columns_; ++column)
        if (!at(row, column).continuation)
            line += at(row, column).text;
    return line;
}

void Frame::place(int row, int column, const Glyph& glyph, const CellStyle& style) {
    if (glyph.width == 0 || !contains(row, column))
        return;
    // A wide glyph that would hang over the right edge shows as a blank instead.
    const bool fits = glyph.width == 1 || contains(row, column + 1);
    clearWideNeighbours(row, column);
    cell(row, column) = Cell{fits ? glyph.text : " ", style, false};
    if (fits && glyph.width == 2) {
        clearWideNeighbours(row, column + 1);
        cell(row, column + 1) = Cell{"", style, true};
    }
}

// Overwriting one half of a double-width glyph blanks its other half.
void Frame::clearWideNeighbours(int row, int column) {
    Cell& target = cell(row, column);
    if (target.continuation && column > 0) {
        Cell& left = cell(row, column - 1);
        left = Cell{" ", left.style, false};
    }
    if (!target.continuation && contains(row, column + 1) && cell(row, column + 1).continuation)
        cell(row, column + 1) = Cell{" ", cell(row, column + 1).style, false};
}

} // namespace Blinkwit
