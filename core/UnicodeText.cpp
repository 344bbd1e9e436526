#include "UnicodeText.h"

#include <memory>
#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace BlinkwitCore::UnicodeText {

namespace {

// Creating a break iterator loads rule data; one per thread is kept and reused.
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

bool isAsciiPair(const icu::UnicodeString& text, std::int32_t first) {
    return text[first] < 0x80 && text[first + 1] < 0x80;
}

bool isAscii(std::string_view utf8) {
    for (unsigned char c : utf8)
        if (c >= 0x80)
            return false;
    return true;
}

} // namespace

icu::UnicodeString fromUtf8(std::string_view utf8) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), std::int32_t(utf8.size())));
}

std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    appendUtf8(out, text.getBuffer(), text.length());
    return out;
}

void appendUtf8(std::string& out, const char16_t* chars, std::int32_t length) {
    out.reserve(out.size() + std::size_t(length));
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(chars, i, length, c);
        if (U_IS_SURROGATE(c))
            c = 0xFFFD;
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
}

std::int64_t graphemeCount(const icu::UnicodeString& text) {
    icu::BreakIterator* iterator = characterIterator();
    if (iterator == nullptr)
        return text.countChar32();
    iterator->setText(text);
    std::int64_t count = 0;
    for (std::int32_t at = iterator->next(); at != icu::BreakIterator::DONE; at = iterator->next())
        ++count;
    return count;
}

std::int64_t graphemeCount(std::string_view utf8) {
    // Plain ASCII other than CR LF is one character per byte; most words take this path.
    if (isAscii(utf8) && utf8.find("\r\n") == std::string_view::npos)
        return std::int64_t(utf8.size());
    return graphemeCount(fromUtf8(utf8));
}

bool containsNumeric(const icu::UnicodeString& text) {
    for (std::int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        const char16_t unit = text[i];
        if (unit < 0x80) {
            if (unit >= u'0' && unit <= u'9')
                return true;
            continue;
        }
        if (u_getIntPropertyValue(text.char32At(i), UCHAR_NUMERIC_TYPE) != U_NT_NONE)
            return true;
    }
    return false;
}

bool isWhiteSpace(UChar32 c) {
    if (c < 0x80)
        return c == 0x20 || (c >= 0x09 && c <= 0x0D);
    return u_isUWhiteSpace(c);
}

bool isSpaceOrTab(char16_t c) {
    if (c < 0x80)
        return c == u' ' || c == u'\t';
    return u_charType(c) == U_SPACE_SEPARATOR;
}

icu::UnicodeString trimmedOfSpaces(const icu::UnicodeString& text) {
    std::int32_t start = 0;
    std::int32_t end = text.length();
    while (start < end && isSpaceOrTab(text[start]))
        ++start;
    while (end > start && isSpaceOrTab(text[end - 1]))
        --end;
    return text.tempSubString(start, end - start);
}

std::int32_t graphemeLengthAt(const icu::UnicodeString& text, std::int32_t start) {
    // Two ASCII characters other than CR LF always have a boundary between them.
    if (start + 1 >= text.length())
        return text.length() - start;
    if (isAsciiPair(text, start) && !(text[start] == u'\r' && text[start + 1] == u'\n'))
        return 1;
    icu::BreakIterator* iterator = characterIterator();
    if (iterator == nullptr)
        return text.moveIndex32(start, 1) - start;
    iterator->setText(text);
    return iterator->following(start) - start;
}

std::int32_t lastGraphemeStart(const icu::UnicodeString& text, std::int32_t end) {
    if (end < 2)
        return 0;
    if (isAsciiPair(text, end - 2) && !(text[end - 2] == u'\r' && text[end - 1] == u'\n'))
        return end - 1;
    icu::BreakIterator* iterator = characterIterator();
    if (iterator == nullptr)
        return text.moveIndex32(end, -1);
    iterator->setText(text);
    return iterator->preceding(end);
}

} // namespace BlinkwitCore::UnicodeText
