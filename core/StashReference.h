#pragma once

#include <optional>
#include <unicode/unistr.h>

namespace BlinkwitCore {

// A word that is exactly a placeholder, U+E000 digits U+E000, followed only by sentence or
// clause punctuation: ^\x{E000}(\d+)\x{E000}([.,;:!?…]*)$ read without a regex, as it runs
// for every word that starts with the mark.
struct StashReference {
    icu::UnicodeString digits;      // \d+: any decimal digits, not only ASCII
    icu::UnicodeString punctuation; // possibly empty

    static std::optional<StashReference> parse(const icu::UnicodeString& word);
};

} // namespace BlinkwitCore
