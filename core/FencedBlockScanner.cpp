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

    // The next place after i where ICU's multi-line ^ holds: just after a line terminator,
    // never at the very end. Returns the length when there is none.
    std::int32_t nextLineStart(std::int32_t i) const {
        while (i < length_ && !isLineTerminator(chars_[i]))
            ++i;
        return i < length_ ? i + 1 : length_;
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

std::vector<std::int32_t> closingFenceLines(const View& view) {
    std::vector<std::int32_t> starts;
    for (std::int32_t i = 0; i < view.length(); i = view.nextLineStart(i)) {
        if (view.closingFenceEnd(i) >= 0)
            starts.push_back(i);
    }
    return starts;
}

} // namespace

std::vector<FencedBlockScanner::Block>
FencedBlockScanner::closedBlocks(const icu::UnicodeString& text) {
    const View view(text);
    const std::vector<std::int32_t> closings = closingFenceLines(view);
    std::vector<Block> blocks;
    if (closings.empty())
        return blocks;
    for (std::int32_t start = 0; start < view.length(); start = view.nextLineStart(start)) {
        const std::int32_t languageStart = view.afterFence(start);
        if (languageStart < 0)
            continue;
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
        // The lazy body stops before the closing line, without the line feed preceding it.
        std::int32_t bodyEnd = *closing;
        if (bodyEnd > bodyStart && view[bodyEnd - 1] == u'\n')
            --bodyEnd;
        Block block;
        block.start = start;
        block.end = view.closingFenceEnd(*closing);
        if (languageEnd > languageStart)
            block.language = icu::UnicodeString(text, languageStart, languageEnd - languageStart);
        block.body = icu::UnicodeString(text, bodyStart, bodyEnd - bodyStart);
        start = block.end;
        blocks.push_back(std::move(block));
    }
    return blocks;
}

icu::UnicodeString FencedBlockScanner::blankStrayFences(const icu::UnicodeString& text) {
    const View view(text);
    icu::UnicodeString result = UnicodeText::withCapacity(text.length());
    std::int32_t copiedUpTo = 0;
    for (std::int32_t i = 0; i < view.length(); i = view.nextLineStart(i)) {
        if (view.afterFence(i) < 0)
            continue;
        const std::int32_t end = view.nextLineFeed(i);
        result.append(text, copiedUpTo, i - copiedUpTo);
        copiedUpTo = end;
        i = end; // at a line feed or the end: no fence starts here
    }
    if (copiedUpTo == 0)
        return text;
    result.append(text, copiedUpTo, view.length() - copiedUpTo);
    return result;
}

} // namespace BlinkwitCore
