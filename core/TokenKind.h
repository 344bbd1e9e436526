#pragma once

#include <cstdint>
#include <memory>
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

    TokenKind(const TokenKind& other);
    TokenKind(TokenKind&& other) noexcept = default;
    TokenKind& operator=(const TokenKind& other);
    TokenKind& operator=(TokenKind&& other) noexcept = default;
    ~TokenKind() = default;

    Case kind() const { return kind_; }
    // Nothing and 0 for every case but a code block.
    const std::optional<std::string>& language() const;
    std::int64_t lineCount() const { return payload_ ? payload_->lineCount : 0; }

    // Cases compare alone, except that two code blocks must also agree on their payload.
    bool operator==(const TokenKind& other) const;

    // The lower-camel-case name of the case, as the command line and JSON output use it.
    const char* name() const;

private:
    // Held apart: a text has few code blocks and many words, and every token carries a kind.
    struct Payload {
        std::optional<std::string> language;
        std::int64_t lineCount = 0;
    };

    explicit TokenKind(Case kind)
        : kind_(kind) {}

    Case kind_ = Case::word;
    std::unique_ptr<Payload> payload_;
};

} // namespace BlinkwitCore
