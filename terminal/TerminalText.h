#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace Blinkwit {

// One user-perceived character as a terminal shows it: its UTF-8 text and how many cells it
// takes (0, 1 or 2).
struct Glyph {
    std::string text;
    int width = 1;
};

// Splitting text into terminal cells. Control characters never reach the terminal as they are:
// a stray escape byte in the text would otherwise be executed by the terminal.
class TerminalText {
public:
    TerminalText() = delete;

    static std::vector<Glyph> glyphs(std::string_view utf8);
    static int width(std::string_view utf8);
    static int width(const std::vector<Glyph>& glyphs);
    // The longest leading run of glyphs that fits in the given number of cells; when something
    // is cut off, the last cell shows an ellipsis.
    static std::vector<Glyph> fit(std::vector<Glyph> glyphs, int cells);
    // Breaks text at spaces into lines of at most the given number of cells; words wider than a
    // line are broken between characters.
    static std::vector<std::string> wrap(std::string_view utf8, int cells);
};

} // namespace Blinkwit
