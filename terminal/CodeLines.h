#pragma once

#include "TerminalText.h"

#include <string_view>
#include <vector>

namespace Blinkwit {

// A code block's text as terminal lines: tabs expanded to the next multiple of four columns,
// line ends in any convention.
class CodeLines {
public:
    static constexpr int tabWidth = 4;

    explicit CodeLines(std::string_view code);

    int count() const { return int(lines_.size()); }
    int widest() const { return widest_; }
    const std::vector<Glyph>& line(int index) const { return lines_[std::size_t(index)]; }
    // The cells of one line from a column on, at most the given number; a double-width glyph
    // cut in half by either edge becomes a blank.
    std::vector<Glyph> slice(int index, int firstColumn, int cells) const;

private:
    std::vector<std::vector<Glyph>> lines_;
    int widest_ = 0;
};

} // namespace Blinkwit
