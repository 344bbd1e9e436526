#include "TerminalText.h"

#include "core/UnicodeText.h"

#include <memory>
#include <unicode/brkiter.h>
#include <unicode/uchar.h>

namespace Blinkwit {

namespace {

constexpr char32_t replacementCharacter = 0xFFFD;

icu::BreakIterator* characterIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> created(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status))
            created.reset();
        return created;
    }();
    return iterator.get();
}

bool isZeroWidth(UChar32 c) {
    const auto category = u_charType(c);
    return category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK ||
           category == U_FORMAT_CHAR || (c >= 0x1160 && c <= 0x11FF);
}

bool isDoubleWidth(UChar32 c) {
    const auto eastAsian = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    return eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH ||
           u_hasBinaryProperty(c, UCHAR_EMOJI_PRESENTATION);
}

// A cluster is as wide as its base character; an emoji variation selector widens a pictograph.
int clusterWidth(const icu::UnicodeString& cluster) {
    const UChar32 base = cluster.char32At(0);
    if (isZeroWidth(base))
        return 0;
    if (isDoubleWidth(base))
        return 2;
    if (cluster.indexOf(UChar(0xFE0F)) >= 0 &&
        u_hasBinaryProperty(base, UCHAR_EXTENDED_PICTOGRAPHIC))
        return 2;
    return 1;
}

Glyph makeGlyph(icu::UnicodeString cluster) {
    for (std::int32_t i = 0; i < cluster.length(); i = cluster.moveIndex32(i, 1)) {
        if (u_charType(cluster.char32At(i)) == U_CONTROL_CHAR) {
            cluster = icu::UnicodeString(UChar32(replacementCharacter));
            break;
        }
    }
    return Glyph{BlinkwitCore::UnicodeText::toUtf8(cluster), clusterWidth(cluster)};
}

void appendBroken(std::vector<std::string>& lines, const std::vector<Glyph>& word, int cells) {
    std::string line;
    int used = 0;
    for (const Glyph& glyph : word) {
        if (used + glyph.width > cells && used > 0) {
            lines.push_back(line);
            line.clear();
            used = 0;
        }
        line += glyph.text;
        used += glyph.width;
    }
    if (!line.empty())
        lines.push_back(line);
}

} // namespace

std::vector<Glyph> TerminalText::glyphs(std::string_view utf8) {
    const icu::UnicodeString text = BlinkwitCore::UnicodeText::fromUtf8(utf8);
    std::vector<Glyph> result;
    icu::BreakIterator* iterator = characterIterator();
    if (iterator == nullptr) {
        for (std::int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1))
            result.push_back(makeGlyph(icu::UnicodeString(text.char32At(i))));
        return result;
    }
    iterator->setText(text);
    std::int32_t start = iterator->first();
    for (std::int32_t end = iterator->next(); end != icu::BreakIterator::DONE;
         start = end, end = iterator->next())
        result.push_back(makeGlyph(icu::UnicodeString(text, start, end - start)));
    return result;
}

int TerminalText::width(std::string_view utf8) {
    return width(glyphs(utf8));
}

int TerminalText::width(const std::vector<Glyph>& glyphs) {
    int total = 0;
    for (const Glyph& glyph : glyphs)
        total += glyph.width;
    return total;
}

std::vector<Glyph> TerminalText::fit(std::vector<Glyph> glyphs, int cells) {
    if (cells <= 0)
        return {};
    if (width(glyphs) <= cells)
        return glyphs;
    std::vector<Glyph> kept;
    int used = 0;
    for (Glyph& glyph : glyphs) {
        if (used + glyph.width > cells - 1)
            break;
        used += glyph.width;
        kept.push_back(std::move(glyph));
    }
    kept.push_back(Glyph{"\u2026", 1});
    return kept;
}

std::vector<std::string> TerminalText::wrap(std::string_view utf8, int cells) {
    std::vector<std::string> lines;
    if (cells <= 0)
        return lines;
    std::string line;
    int used = 0;
    std::size_t at = 0;
    while (at <= utf8.size()) {
        std::size_t space = utf8.find(' ', at);
        if (space == std::string_view::npos)
            space = utf8.size();
        const std::string_view word = utf8.substr(at, space - at);
        at = space + 1;
        if (word.empty())
            continue;
        const std::vector<Glyph> wordGlyphs = glyphs(word);
        const int wordWidth = width(wordGlyphs);
        if (used > 0 && used + 1 + wordWidth <= cells) {
            line += ' ';
            line += std::string(word);
            used += 1 + wordWidth;
            continue;
        }
        if (used > 0)
            lines.push_back(line);
        line.clear();
        used = 0;
        if (wordWidth <= cells) {
            line = std::string(word);
            used = wordWidth;
            continue;
        }
        appendBroken(lines, wordGlyphs, cells);
        line = lines.back();
        lines.pop_back();
        used = width(line);
    }
    if (used > 0)
        lines.push_back(line);
    return lines;
}

} // namespace Blinkwit
