#include "CodeLines.h"

#include <algorithm>

namespace Blinkwit {

namespace {

std::vector<Glyph> expandTabs(std::string_view line) {
    std::vector<Glyph> expanded;
    int column = 0;
    std::size_t from = 0;
    while (from <= line.size()) {
        std::size_t tab = line.find('\t', from);
        if (tab == std::string_view::npos)
            tab = line.size();
        for (Glyph& glyph : TerminalText::glyphs(line.substr(from, tab - from))) {
            column += glyph.width;
            expanded.push_back(std::move(glyph));
        }
        if (tab == line.size())
            break;
        const int spaces = CodeLines::tabWidth - column % CodeLines::tabWidth;
        expanded.insert(expanded.end(), std::size_t(spaces), Glyph{" ", 1});
        column += spaces;
        from = tab + 1;
    }
    return expanded;
}

} // namespace

CodeLines::CodeLines(std::string_view code) {
    std::size_t from = 0;
    while (from <= code.size()) {
        std::size_t end = code.find_first_of("\r\n", from);
        if (end == std::string_view::npos)
            end = code.size();
        lines_.push_back(expandTabs(code.substr(from, end - from)));
        widest_ = std::max(widest_, TerminalText::width(lines_.back()));
        if (end == code.size())
            break;
        from = end + (code.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (from == code.size())
            break; // a final line end closes the last line rather than opening another
    }
}

std::vector<Glyph> CodeLines::slice(int index, int firstColumn, int cells) const {
    std::vector<Glyph> visible;
    int column = 0;
    const int last = firstColumn + cells;
    for (const Glyph& glyph : line(index)) {
        const int start = column;
        column += glyph.width;
        if (column <= firstColumn || glyph.width == 0)
            continue;
        if (start >= last)
            break;
        if (start < firstColumn || column > last)
            visible.push_back(Glyph{" ", 1});
        else
            visible.push_back(glyph);
    }
    return visible;
}

} // namespace Blinkwit
