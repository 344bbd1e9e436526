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

icu::UnicodeString withCapacity(std::int32_t capacity) {
    icu::UnicodeString text;
    if (text.getBuffer(capacity) != nullptr)
        text.releaseBuffer(0);
    return text;
}

void appendUtf8(std::string& out, const char16_t* chars, std::int32_t length) {
    std::size_t bytes = 0;
    for (std::int32_t i = 0; i < length; ++i)
        bytes += chars[i] < 0x80 ? 1 : 3; // a surrogate pair: 2 × 3 >= 4
    const std::size_t start = out.size();
    out.resize(start + bytes);
    char* write = out.data() + start;
    for (std::int32_t i = 0; i < length;) {
        if (chars[i] < 0x80) {
            *write++ = char(chars[i++]);
            continue;
        }
        UChar32 c = 0;
        U16_NEXT(chars, i, length, c);
        if (U_IS_SURROGATE(c))
            c = 0xFFFD;
        if (c < 0x800) {
            *write++ = char(0xC0 | (c >> 6));
            *write++ = char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *write++ = char(0xE0 | (c >> 12));
            *write++ = char(0x80 | ((c >> 6) & 0x3F));
            *write++ = char(0x80 | (c & 0x3F));
        } else {
            *write++ = char(0xF0 | (c >> 18));
            *write++ = char(0x80 | ((c >> 12) & 0x3F));
            *write++ = char(0x80 | ((c >> 6) & 0x3F));
            *write++ = char(0x80 | (c & 0x3F));
        }
    }
    out.resize(std::size_t(write - out.data()));
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
    const char16_t* chars = text.getBuffer();
    const std::int32_t length = text.length();
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(chars, i, length, c);
        if (c < 0x80) {
            if (c >= u'0' && c <= u'9')
                return true;
        } else if (u_getIntPropertyValue(c, UCHAR_NUMERIC_TYPE) != U_NT_NONE) {
            return true;
        }
    }
    return false;
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
