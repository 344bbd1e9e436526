#pragma once

#include <cstdint>
#include <string_view>
#include <unicode/unistr.h>

namespace BlinkwitCore {

// Reads the punctuation at the end of a word, in whole user-perceived characters: a period
// with a combining mark on it is not a period.
class WordEnding {
public:
    static constexpr std::u16string_view closingCharacters = u"\"')]}»”’";
    static constexpr std::u16string_view pathTrailingCharacters = u".,;:!?";

    struct Flags {
        bool endsSentence = false;
        bool endsClause = false;
    };

    WordEnding() = delete;

    // End of text[0, end) without its longest suffix made only of characters.
    static std::int32_t trimmedEnd(const icu::UnicodeString& text, std::int32_t end,
                                   std::u16string_view characters);
    // Sentence or clause end told by the last character once closing characters are skipped.
    static Flags flagsOf(const icu::UnicodeString& text);
};

} // namespace BlinkwitCore
