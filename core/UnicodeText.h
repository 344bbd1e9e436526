#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/umachine.h>
#include <unicode/unistr.h>
#include <vector>

namespace BlinkwitCore::UnicodeText {

// UTF-8 to ICU's UTF-16; every ill-formed sequence becomes one U+FFFD, neighbours survive.
// This thread's extended-grapheme-cluster iterator, or null where ICU's data is missing.
icu::BreakIterator* characterBreakIterator();

// UTF-16 offsets of the user-perceived character boundaries, 0 and the length included.
std::vector<std::int32_t> graphemeBoundaries(const icu::UnicodeString& text);

icu::UnicodeString fromUtf8(std::string_view utf8);
std::string toUtf8(const icu::UnicodeString& text);

// Number of user-perceived characters (extended grapheme clusters).
std::int64_t graphemeCount(const icu::UnicodeString& text);
std::int64_t graphemeCount(std::string_view utf8);

// Unicode numeric type decimal, digit or numeric (0-9, other scripts' digits, ½, Ⅻ ...).
bool containsNumeric(const icu::UnicodeString& text);

// Unicode White_Space, line breaks included.
inline bool isWhiteSpace(UChar32 c) {
    if (c < 0x80)
        return c == 0x20 || (c >= 0x09 && c <= 0x0D);
    return u_isUWhiteSpace(c);
}

// A space separator (Zs) or tab: blank within a line.
inline bool isSpaceOrTab(char16_t c) {
    if (c < 0x80)
        return c == u' ' || c == u'\t';
    return u_charType(c) == U_SPACE_SEPARATOR;
}
// text without leading and trailing space separators and tabs; aliases text's buffer.
icu::UnicodeString trimmedOfSpaces(const icu::UnicodeString& text);

// Bytes of the longest start of utf8 that holds at most count user-perceived characters. Only
// a stretch proportional to count is read, however long the text: a character made of more
// code points than that stretch holds (a pile of combining marks) is cut between code points.
std::size_t leadingCharacters(std::string_view utf8, std::size_t count);

// Length in UTF-16 units of the user-perceived character that starts at start.
std::int32_t graphemeLengthAt(const icu::UnicodeString& text, std::int32_t start);
// Start of the user-perceived character that ends at end (0 < end <= length).
std::int32_t lastGraphemeStart(const icu::UnicodeString& text, std::int32_t end);

// Position of the first c at or after from, or -1; vectorised where the processor allows.
std::int32_t find(const icu::UnicodeString& text, char16_t c, std::int32_t from = 0);
// Position of the first occurrence of needle (not empty) at or after from, or -1.
std::int32_t find(const icu::UnicodeString& text, std::u16string_view needle,
                  std::int32_t from = 0);

// An empty string that can grow to capacity units without reallocating.
icu::UnicodeString withCapacity(std::int32_t capacity);

// Appends UTF-16 units to a UTF-8 string; a lone surrogate becomes U+FFFD.
void appendUtf8(std::string& out, const char16_t* chars, std::int32_t length);

} // namespace BlinkwitCore::UnicodeText
