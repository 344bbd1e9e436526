#include "StashReference.h"

#include <string_view>
#include <unicode/uchar.h>

namespace BlinkwitCore {

namespace {

constexpr char16_t placeholderMark = 0xE000;
constexpr std::u16string_view trailingPunctuation = u".,;:!?…";

} // namespace

std::optional<StashReference> StashReference::parse(const icu::UnicodeString& word) {
    const std::int32_t length = word.length();
    if (length < 3 || word[0] != placeholderMark)
        return std::nullopt;
    std::int32_t i = 1;
    while (i < length && u_isdigit(word.char32At(i)))
        i = word.moveIndex32(i, 1);
    if (i == 1 || i == length || word[i] != placeholderMark)
        return std::nullopt;
    const std::int32_t digitsEnd = i++;
    for (std::int32_t k = i; k < length; ++k) {
        if (trailingPunctuation.find(word[k]) == std::u16string_view::npos)
            return std::nullopt;
    }
    return StashReference{word.tempSubString(1, digitsEnd - 1), word.tempSubString(i)};
}

} // namespace BlinkwitCore
