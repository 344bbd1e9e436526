#pragma once

#include <cstdint>
#include <optional>
#include <unicode/unistr.h>
#include <vector>

namespace BlinkwitCore {

// Finds fenced code blocks line by line. The results are exactly those of the ICU pattern
//   ^[ ]*```([A-Za-z0-9+#._-]*)[^\n]*\n(.*?)\n?^[ ]*```[ ]*$   (multi-line, dot-all)
// scanned left to right, and of the stray-fence pattern ^[ ]*```[^\n]*$ (multi-line), but in
// linear time: a lazy dot-all body costs tens of nanoseconds per character and fails slowly.
// "Lines" follow ICU: ^ and $ see every line terminator, not only the line feed.
class FencedBlockScanner {
public:
    struct Block {
        std::int32_t start = 0; // first character of the opening fence line
        std::int32_t end = 0;   // just after the closing fence and its trailing spaces
        std::optional<icu::UnicodeString> language;
        icu::UnicodeString body;
    };

    FencedBlockScanner() = delete;

    static std::vector<Block> closedBlocks(const icu::UnicodeString& text);
    // Whether a line at or after from starts with a fence.
    static bool hasFenceLineFrom(const icu::UnicodeString& text, std::int32_t from);
    // Every line that starts with a fence (up to the next line feed) made empty.
    static icu::UnicodeString blankStrayFences(const icu::UnicodeString& text);
};

} // namespace BlinkwitCore
