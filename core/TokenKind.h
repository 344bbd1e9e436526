#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace BlinkwitCore {

// What sort of unit a token is. Only code blocks carry a payload: the fence's language word
// and the number of body lines.
class TokenKind {
public:
    enum class Case { word, code, url, codeBlock };

    static TokenKind word() { return TokenKind(Case::word); }
    static TokenKind code() { return TokenKind(Case::code); }
    static TokenKind url() { return TokenKind(Case::url); }
    static TokenKind codeBlock(std::optional<std::string> language, std::int64_t lineCount);

    Case kind() const { return kind_; }
    const std::optional<std::string>& language() const { return language_; }
    std::int64_t lineCount() const { return lineCount_; }

    // Cases compare alone, except that two code blocks must also agree on their payload.
    bool operator==(const TokenKind& other) const;

    // The lower-camel-case name of the case, as the command line and JSON output use it.
    const char* name() const;

private:
    explicit TokenKind(Case kind)
        : kind_(kind) {}

    Case kind_ = Case::word;
    std::optional<std::string> language_;
    std::int64_t lineCount_ = 0;
};

} // namespace BlinkwitCore
