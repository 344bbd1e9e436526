#pragma once

#include "TokenKind.h"

#include <cstdint>
#include <optional>
#include <string>

namespace BlinkwitCore {

// One displayable unit of a text, in UTF-8. A plain value: copied on assignment, compared
// field by field.
struct Token {
    std::string text;
    TokenKind kind = TokenKind::word();
    std::optional<std::string> codeContent;
    bool endsSentence = false;
    bool endsClause = false;
    bool paragraphBreakAfter = false;
    std::int64_t sentenceIndex = 0;
    std::int64_t paragraphIndex = 0;
    bool containsDigits = false;

    bool isCodeBlock() const { return kind.kind() == TokenKind::Case::codeBlock; }
    // Everything but prose is set in a monospaced face.
    bool isMonospace() const { return kind.kind() != TokenKind::Case::word; }

    bool operator==(const Token&) const = default;
};

} // namespace BlinkwitCore
