#include "WordEnding.h"

#include "UnicodeText.h"

namespace BlinkwitCore {

namespace {

constexpr std::u16string_view sentenceEndCharacters = u".!?…";
constexpr std::u16string_view clauseEndCharacters = u",;:";

bool contains(std::u16string_view set, char16_t c) {
    return set.find(c) != std::u16string_view::npos;
}

// Two ASCII characters always have a boundary between them, except CR LF, which none of the
// punctuation sets holds.
std::int32_t lastCharacterStart(const icu::UnicodeString& text, std::int32_t end) {
    const char16_t* chars = text.getBuffer();
    if (chars[end - 1] < 0x80 && (end == 1 || chars[end - 2] < 0x80))
        return end - 1;
    return UnicodeText::lastGraphemeStart(text, end);
}

} // namespace

std::int32_t WordEnding::trimmedEnd(const icu::UnicodeString& text, std::int32_t end,
                                    std::u16string_view characters) {
    while (end > 0) {
        const std::int32_t start = lastCharacterStart(text, end);
        if (end - start != 1 || !contains(characters, text[start]))
            break;
        end = start;
    }
    return end;
}

WordEnding::Flags WordEnding::flagsOf(const icu::UnicodeString& text) {
    Flags flags;
    const std::int32_t end = trimmedEnd(text, text.length(), closingCharacters);
    if (end == 0)
        return flags;
    const std::int32_t start = lastCharacterStart(text, end);
    if (end - start != 1)
        return flags;
    flags.endsSentence = contains(sentenceEndCharacters, text[start]);
    flags.endsClause = !flags.endsSentence && contains(clauseEndCharacters, text[start]);
    return flags;
}

} // namespace BlinkwitCore
