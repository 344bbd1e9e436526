#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <unicode/unistr.h>

namespace BlinkwitCore::UnicodeText {

// UTF-8 to ICU's UTF-16; every ill-formed sequence becomes one U+FFFD, neighbours survive.
icu::UnicodeString fromUtf8(std::string_view utf8);
std::string toUtf8(const icu::UnicodeString& text);

// Number of user-perceived characters (extended grapheme clusters).
std::int64_t graphemeCount(const icu::UnicodeString& text);
std::int64_t graphemeCount(std::string_view utf8);

// Unicode numeric type decimal, digit or numeric (0-9, other scripts' digits, ½, Ⅻ ...).
bool containsNumeric(const icu::UnicodeString& text);

} // namespace BlinkwitCore::UnicodeText
