#pragma once

#include "TerminalColor.h"
#include "TerminalText.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Blinkwit {

struct CellStyle {
    std::optional<Rgb> foreground;
    std::optional<Rgb> background;
    bool bold = false;
    bool dim = false;
    bool underline = false;
    bool reverse = false;

    bool operator==(const CellStyle&) const = default;
};

// One character cell. The right half of a double-width glyph is a continuation cell that holds
// no text of its own.
struct Cell {
    std::string text = " ";
    CellStyle style;
    bool continuation = false;

    bool operator==(const Cell&) const = default;
};

// The whole screen as rows of cells; writing outside it is clipped.
class Frame {
public:
    Frame(int columns, int rows, const CellStyle& fill = {});

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    const Cell& at(int row, int column) const;

    // Writes glyphs from the given column on; returns the column after the last one written.
    int put(int row, int column, const std::vector<Glyph>& glyphs, const CellStyle& style);
    int put(int row, int column, std::string_view utf8, const CellStyle& style);
    // Writes text centred on the row, cut to fit with an ellipsis.
    void putCentred(int row, std::string_view utf8, const CellStyle& style);
    void fill(int row, int column, int count, const CellStyle& style);
    // The row's text with continuation cells left out, for checks and debugging.
    std::string text(int row) const;

    bool operator==(const Frame&) const = default;

private:
    bool contains(int row, int column) const;
    void place(int row, int column, const Glyph& glyph, const CellStyle& style);
    void clearWideNeighbours(int row, int column);
    Cell& cell(int row, int column);

    int columns_ = 0;
    int rows_ = 0;
    std::vector<Cell> cells_;
};

} // namespace Blinkwit
