#pragma once

#include "core/TokenList.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace Blinkwit {

// Tokens as JSON Lines: one object per token, every field in a fixed order (text, kind,
// language, lineCount, codeContent, endsSentence, endsClause, paragraphBreakAfter,
// sentenceIndex, paragraphIndex, containsDigits, orp, duration), empty ones as null. Millions of
// lines are written for a long text, so the parts that repeat are built once: the fields of a
// kind, of each combination of flags, each distinct duration.
class TokenJsonLines {
public:
    TokenJsonLines(const BlinkwitCore::TokenList& tokens, std::int64_t wpm);

    // Appends the lines of tokens first to last (excluded), in order.
    void append(std::string& out, std::size_t first, std::size_t last);

    // Writes every line to out: blocks of lines are put together on every core, a few blocks
    // ahead of the writer at most, and written in order. False when a write failed.
    static bool write(const BlinkwitCore::TokenList& tokens, std::int64_t wpm, std::FILE* out);

private:
    const std::string& duration(std::size_t i);
    void appendCodeBlockFields(std::string& out, std::size_t i) const;

    const BlinkwitCore::TokenList& tokens_;
    std::int64_t wpm_;
    // By character count and the five facts a duration depends on; empty until first needed.
    std::vector<std::string> durations_;
};

} // namespace Blinkwit
