#include "TokenKind.h"

namespace BlinkwitCore {

TokenKind TokenKind::codeBlock(std::optional<std::string> language, std::int64_t lineCount) {
    TokenKind kind(Case::codeBlock);
    kind.language_ = std::move(language);
    kind.lineCount_ = lineCount;
    return kind;
}

bool TokenKind::operator==(const TokenKind& other) const {
    if (kind_ != other.kind_)
        return false;
    if (kind_ != Case::codeBlock)
        return true;
    return language_ == other.language_ && lineCount_ == other.lineCount_;
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
