#include "TokenKind.h"

namespace BlinkwitCore {

TokenKind TokenKind::codeBlock(std::optional<std::string> language, std::int64_t lineCount) {
    TokenKind kind(Case::codeBlock);
    kind.payload_ = std::make_unique<Payload>(Payload{std::move(language), lineCount});
    return kind;
}

TokenKind::TokenKind(const TokenKind& other)
    : kind_(other.kind_) {
    if (other.payload_)
        payload_ = std::make_unique<Payload>(*other.payload_);
}

TokenKind& TokenKind::operator=(const TokenKind& other) {
    if (this != &other)
        *this = TokenKind(other);
    return *this;
}

const std::optional<std::string>& TokenKind::language() const {
    static const std::optional<std::string> none;
    return payload_ ? payload_->language : none;
}

bool TokenKind::operator==(const TokenKind& other) const {
    if (kind_ != other.kind_)
        return false;
    if (kind_ != Case::codeBlock)
        return true;
    return language() == other.language() && lineCount() == other.lineCount();
}

const char* TokenKind::name() const {
    switch (kind_) {
    case Case::word:
        return "word";
    case Case::code:
        return "code";
    case Case::url:
        return "url";
    case Case::codeBlock:
        return "codeBlock";
    }
    return "word";
}

} // namespace BlinkwitCore
