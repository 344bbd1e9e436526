#include "FencedBlockScanner.h"

#include "UnicodeText.h"

#include <algorithm>

namespace BlinkwitCore {

namespace {

bool isLineTerminator(char16_t c) {
    return (c <= 0x0D && c >= 0x0A) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

bool isLanguageCharacter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'+' || c == u'#' || c == u'.' || c == u'_' || c == u'-';
}

class View {
public:
    explicit View(const icu::UnicodeString& text)
        : chars_(text.getBuffer())
        , length_(text.length()) {}

    std::int32_t length() const { return length_; }
    char16_t operator[](std::int32_t i) const { return chars_[i]; }

    std::int32_t skipSpaces(std::int32_t i) const {
        while (i < length_ && chars_[i] == u' ')
            ++i;
        return i;
    }

    // Position after "[ ]*```" at i, or -1.
    std::int32_t afterFence(std::int32_t i) const {
        i = skipSpaces(i);
        if (i + 3 > length_ || chars_[i] != u'`' || chars_[i + 1] != u'`' || chars_[i + 2] != u'`')
            return -1;
        return i + 3;
    }

    // End of "[ ]*```[ ]*$" at i, or -1.
    std::int32_t closingFenceEnd(std::int32_t i) const {
        i = afterFence(i);
        if (i < 0)
            return -1;
        i = skipSpaces(i);
        return (i == length_ || isLineTerminator(chars_[i])) ? i : -1;
    }

    std::int32_t nextLineFeed(std::int32_t i) const {
        while (i < length_ && chars_[i] != u'\n')
            ++i;
        return i;
    }

private:
    const char16_t* chars_;
    std::int32_t length_;
};

// Every place where "^[ ]*```" matches (multi-line), found from the backticks: a line start
// (the beginning, or just after a line terminator, but never the very end), spaces, then a run
// of at least three backticks.
std::vector<std::int32_t> fenceLineStarts(const icu::UnicodeString& text, const View& view) {
    std::vector<std::int32_t> starts;
    for (std::int32_t tick = UnicodeText::find(text, u'`'); tick >= 0;) {
        std::int32_t runEnd = tick;
        while (runEnd < view.length() && view[runEnd] == u'`')
            ++runEnd;
        if (runEnd - tick >= 3) {
            std::int32_t lineStart = tick;
            while (lineStart > 0 && view[lineStart - 1] == u' ')
                --lineStart;
            if (lineStart == 0 || isLineTerminator(view[lineStart - 1]))
                starts.push_back(lineStart);
        }
        tick = UnicodeText::find(text, u'`', runEnd);
    }
    return starts;
}

} // namespace

std::vector<FencedBlockScanner::Block>
FencedBlockScanner::closedBlocks(const icu::UnicodeString& text) {
    const View view(text);
    const std::vector<std::int32_t> fences = fenceLineStarts(text, view);
    std::vector<std::int32_t> closings;
    for (std::int32_t start : fences) {
        if (view.closingFenceEnd(start) >= 0)
            closings.push_back(start);
    }
    std::vector<Block> blocks;
    if (closings.empty())
        return blocks;
    std::int32_t searchFrom = 0;
    for (std::int32_t start : fences) {
        if (start < searchFrom)
            continue; // inside the previous block
        const std::int32_t languageStart = view.afterFence(start);
        std::int32_t languageEnd = languageStart;
        while (languageEnd < view.length() && isLanguageCharacter(view[languageEnd]))
            ++languageEnd;
        const std::int32_t openingEnd = view.nextLineFeed(languageEnd);
        if (openingEnd == view.length())
            break; // no later fence can find its line feed either
        const std::int32_t bodyStart = openingEnd + 1;
        const auto closing = std::lower_bound(closings.begin(), closings.end(), bodyStart);
        if (closing == closings.end())
            break; // every later opening would look for a closing fence even further on
        // The lazy body stops before the closing line, without the line feed preceding it,
        // unless that line feed ends a CR LF, which dot-all steps over as one character.
        std::int32_t bodyEnd = *closing;
        const bool crlf = bodyEnd - 2 >= bodyStart && view[bodyEnd - 2] == u'\r';
        if (bodyEnd > bodyStart && view[bodyEnd - 1] == u'\n' && !crlf)
            --bodyEnd;
        Block block;
        block.start = start;
        block.end = view.closingFenceEnd(*closing);
        if (languageEnd > languageStart)
            block.language = icu::UnicodeString(text, languageStart, languageEnd - languageStart);
        block.body = icu::UnicodeString(text, bodyStart, bodyEnd - bodyStart);
        searchFrom = block.end;
        blocks.push_back(std::move(block));
    }
    return blocks;
}

bool FencedBlockScanner::hasFenceLineFrom(const icu::UnicodeString& text, std::int32_t from) {
    const View view(text);
    const std::vector<std::int32_t> fences = fenceLineStarts(text, view);
    return !fences.empty() && fences.back() >= from;
}

icu::UnicodeString FencedBlockScanner::blankStrayFences(const icu::UnicodeString& text) {
    const View view(text);
    icu::UnicodeString result = UnicodeText::withCapacity(text.length());
    std::int32_t copiedUpTo = 0;
    for (std::int32_t start : fenceLineStarts(text, view)) {
        if (start < copiedUpTo)
            continue; // taken by the previous match
        std::int32_t end = view.nextLineFeed(start);
        // $ never holds between CR and LF, so a CR before the line feed stays.
        if (end < view.length() && view[end - 1] == u'\r' && end - 1 >= view.afterFence(start))
            --end;
        result.append(text, copiedUpTo, start - copiedUpTo);
        copiedUpTo = end;
    }
    if (copiedUpTo == 0)
        return text;
    result.append(text, copiedUpTo, view.length() - copiedUpTo);
    return result;
}

} // namespace BlinkwitCore
