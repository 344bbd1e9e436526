#include "UnicodeText.h"

#include "LargeBuffer.h"

#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utext.h>
#include <unicode/utf16.h>

namespace BlinkwitCore::UnicodeText {

namespace {

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

icu::BreakIterator* characterBreakIterator() {
    // Creating a break iterator loads rule data; one per thread is kept and reused.
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

std::vector<std::int32_t> graphemeBoundaries(const icu::UnicodeString& text) {
    std::vector<std::int32_t> bounds{0};
    icu::BreakIterator* iterator = characterBreakIterator();
    if (iterator == nullptr) {
        for (std::int32_t at = 0; at < text.length();) {
            at = text.moveIndex32(at, 1);
            bounds.push_back(at);
        }
        return bounds;
    }
    iterator->setText(text);
    for (std::int32_t at = iterator->next(); at != icu::BreakIterator::DONE; at = iterator->next())
        bounds.push_back(at);
    return bounds;
}

icu::UnicodeString fromUtf8(std::string_view utf8) {
    // ICU takes 32-bit lengths: longer texts are converted in pieces cut between code points
    // (a string too long to hold ends up empty rather than read past its end).
    constexpr std::size_t piece = std::size_t(1) << 30;
    const auto convert = [](std::string_view part) {
        // UTF-8 never takes fewer units in UTF-16.
        icu::UnicodeString text = withCapacity(std::int32_t(part.size()) + 1);
        char16_t* buffer = text.getBuffer(text.getCapacity());
        std::int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(buffer, text.getCapacity(), &length, part.data(),
                             std::int32_t(part.size()), 0xFFFD, nullptr, &status);
        text.releaseBuffer(U_SUCCESS(status) ? length : 0);
        return text;
    };
    if (utf8.size() <= piece)
        return convert(utf8);
    icu::UnicodeString text;
    while (utf8.size() > piece) {
        std::size_t cut = piece;
        while (cut > piece - 4 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
            --cut;
        text.append(convert(utf8.substr(0, cut)));
        utf8.remove_prefix(cut);
    }
    return text.append(convert(utf8));
}

std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    appendUtf8(out, text.getBuffer(), text.length());
    return out;
}

std::int32_t find(const icu::UnicodeString& text, char16_t c, std::int32_t from) {
    const char16_t* chars = text.getBuffer();
    const std::int32_t length = text.length();
    if (from < 0)
        from = 0;
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
    for (; from + 8 <= length; from += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + from));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi16(block, wanted));
        if (mask != 0)
            return from + (__builtin_ctz(unsigned(mask)) >> 1);
    }
#endif
    for (; from < length; ++from) {
        if (chars[from] == c)
            return from;
    }
    return -1;
}

std::int32_t find(const icu::UnicodeString& text, std::u16string_view needle, std::int32_t from) {
    const std::int32_t last = text.length() - std::int32_t(needle.size());
    const char16_t* chars = text.getBuffer();
    for (from = find(text, needle[0], from); from >= 0 && from <= last;
         from = find(text, needle[0], from + 1)) {
        if (std::u16string_view(chars + from, needle.size()) == needle)
            return from;
    }
    return -1;
}

icu::UnicodeString withCapacity(std::int32_t capacity) {
    icu::UnicodeString text;
    if (const char16_t* buffer = text.getBuffer(capacity)) {
        LargeBuffer::adviseHugePages(buffer, std::size_t(text.getCapacity()) * sizeof(char16_t));
        text.releaseBuffer(0);
    }
    return text;
}

void appendUtf8(std::string& out, const char16_t* chars, std::int32_t length) {
    // Most words are short and ASCII: narrowed through a small buffer.
    char narrow[64];
    std::int32_t ascii = 0;
    while (ascii < length && ascii < 64 && chars[ascii] < 0x80) {
        narrow[ascii] = char(chars[ascii]);
        ++ascii;
    }
    out.append(narrow, std::size_t(ascii));
    for (std::int32_t i = ascii; i < length;) {
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
    icu::BreakIterator* iterator = characterBreakIterator();
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

std::size_t leadingCharacters(std::string_view utf8, std::size_t count) {
    std::size_t ascii = 0;
    while (ascii < utf8.size() && ascii <= count && static_cast<unsigned char>(utf8[ascii]) < 0x80)
        ++ascii;
    // ASCII other than CR LF is one character per byte; the byte after the last one counted
    // must be ASCII too, or it may join the last.
    if (ascii > count && utf8.substr(0, ascii).find("\r\n") == std::string_view::npos)
        return count;
    if (ascii == utf8.size() && utf8.find("\r\n") == std::string_view::npos)
        return std::min(count, utf8.size());
    std::size_t window = std::min(utf8.size(), count * 16 + 64);
    while (window < utf8.size() && (static_cast<unsigned char>(utf8[window]) & 0xC0) == 0x80)
        --window;
    const bool whole = window == utf8.size();
    UErrorCode status = U_ZERO_ERROR;
    UText* text = utext_openUTF8(nullptr, utf8.data(), std::int64_t(window), &status);
    icu::BreakIterator* iterator = characterBreakIterator();
    if (U_FAILURE(status) || iterator == nullptr) {
        utext_close(text);
        return std::min(count, window);
    }
    iterator->setText(text, status);
    std::size_t end = 0;
    std::size_t seen = 0;
    for (std::int32_t at = iterator->next(); at != icu::BreakIterator::DONE && seen < count;
         at = iterator->next(), ++seen) {
        // The window's last character may go on beyond it.
        if (std::size_t(at) == window && !whole)
            break;
        end = std::size_t(at);
    }
    // The iterator would go on pointing at the closed text.
    static const icu::UnicodeString nothing;
    iterator->setText(nothing);
    utext_close(text);
    return end == 0 && !whole ? window : end;
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
    icu::BreakIterator* iterator = characterBreakIterator();
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
    icu::BreakIterator* iterator = characterBreakIterator();
    if (iterator == nullptr)
        return text.moveIndex32(end, -1);
    iterator->setText(text);
    return iterator->preceding(end);
}

} // namespace BlinkwitCore::UnicodeText
