#include "TokenList.h"

#include "UnicodeText.h"

#include <algorithm>
#include <stdexcept>

namespace BlinkwitCore {

TokenList::TokenList(const std::vector<Token>& tokens) {
    std::size_t bytes = 0;
    for (const Token& token : tokens)
        bytes += token.text.size();
    reserve(tokens.size(), bytes);
    for (const Token& token : tokens)
        push_back(token);
}

TokenList::TokenList(std::initializer_list<Token> tokens)
    : TokenList(std::vector<Token>(tokens)) {}

Token TokenList::operator[](std::size_t i) const {
    Token token{.text = std::string(text(i)), .kind = fullKind(i)};
    token.codeContent = codeContent(i);
    token.endsSentence = endsSentence(i);
    token.endsClause = endsClause(i);
    token.paragraphBreakAfter = paragraphBreakAfter(i);
    token.sentenceIndex = sentenceIndex(i);
    token.paragraphIndex = paragraphIndex(i);
    token.containsDigits = containsDigits(i);
    return token;
}

Token TokenList::at(std::size_t i) const {
    if (i >= size())
        throw std::out_of_range("TokenList::at");
    return (*this)[i];
}

std::vector<Token> TokenList::toVector() const {
    std::vector<Token> tokens(size());
    std::size_t sentence = 0;
    std::size_t paragraph = 0;
    std::size_t extra = 0;
    for (std::size_t i = 0; i < size(); ++i) {
        Token& token = tokens[i];
        token.text.assign(text(i));
        if (extra < extras_.size() && extras_[extra].index == i) {
            token.kind = extras_[extra].kind;
            token.codeContent = extras_[extra].codeContent;
            ++extra;
        } else if (kind(i) != TokenKind::Case::word) {
            token.kind = fullKind(i);
        }
        token.endsSentence = endsSentence(i);
        token.endsClause = endsClause(i);
        token.paragraphBreakAfter = paragraphBreakAfter(i);
        sentence = runAt(sentences_, sentence, i);
        paragraph = runAt(paragraphs_, paragraph, i);
        token.sentenceIndex = sentences_[sentence].value;
        token.paragraphIndex = paragraphs_[paragraph].value;
        token.containsDigits = containsDigits(i);
    }
    return tokens;
}

std::size_t TokenList::runAt(const std::vector<Run>& runs, std::size_t from, std::size_t i) {
    while (from + 1 < runs.size() && runs[from + 1].first <= i)
        ++from;
    return from;
}

std::string_view TokenList::text(std::size_t i) const {
    const std::size_t start = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(texts_).substr(start, ends_[i] - start);
}

TokenKind::Case TokenList::kind(std::size_t i) const {
    return TokenKind::Case(flags_[i] >> kindShift);
}

TokenKind TokenList::fullKind(std::size_t i) const {
    switch (kind(i)) {
    case TokenKind::Case::word:
        return TokenKind::word();
    case TokenKind::Case::code:
        return TokenKind::code();
    case TokenKind::Case::url:
        return TokenKind::url();
    case TokenKind::Case::codeBlock:
        break;
    }
    return extraAt(i)->kind;
}

const std::optional<std::string>& TokenList::codeContent(std::size_t i) const {
    static const std::optional<std::string> none;
    const Extra* extra = extraAt(i);
    return extra ? extra->codeContent : none;
}

void TokenList::reserve(std::size_t tokens, std::size_t textBytes) {
    texts_.reserve(textBytes);
    ends_.reserve(tokens);
    flags_.reserve(tokens);
    characters_.reserve(tokens);
}

void TokenList::push_back(const Token& token) {
    const int characters =
        int(std::min<std::int64_t>(UnicodeText::graphemeCount(token.text), maxCountedCharacters));
    pushWord(token.text, characters, token.containsDigits, token.endsSentence, token.endsClause,
             token.sentenceIndex, token.paragraphIndex);
    const std::size_t i = size() - 1;
    set(i, paragraphBreakBit, token.paragraphBreakAfter);
    flags_[i] |= std::uint8_t(int(token.kind.kind()) << kindShift);
    if (token.isCodeBlock() || token.codeContent)
        extras_.push_back({i, token.kind, token.codeContent});
}

void TokenList::pushWord(std::string_view text, int characters, bool digits, bool endsSentence,
                         bool endsClause, std::int64_t sentence, std::int64_t paragraph) {
    texts_.append(text);
    ends_.push_back(texts_.size());
    flags_.push_back(std::uint8_t((endsSentence ? endsSentenceBit : 0) |
                                  (endsClause ? endsClauseBit : 0) | (digits ? digitsBit : 0)));
    characters_.push_back(std::uint8_t(std::clamp(characters, 0, maxCountedCharacters)));
    pushRuns(sentence, paragraph);
}

void TokenList::pushRuns(std::int64_t sentence, std::int64_t paragraph) {
    const std::size_t i = size() - 1;
    if (sentences_.empty() || sentences_.back().value != sentence)
        sentences_.push_back({i, sentence});
    if (paragraphs_.empty() || paragraphs_.back().value != paragraph)
        paragraphs_.push_back({i, paragraph});
}

void TokenList::set(std::size_t i, std::uint8_t bit, bool on) {
    flags_[i] = std::uint8_t(on ? flags_[i] | bit : flags_[i] & ~bit);
}

void TokenList::append(TokenList&& other, std::int64_t sentenceOffset,
                       std::int64_t paragraphOffset) {
    const std::size_t tokenOffset = size();
    const std::size_t textOffset = texts_.size();
    // Taking other's buffers whole is cheaper, unless room was reserved here for more.
    if (empty() && ends_.capacity() <= other.size() && sentenceOffset == 0 &&
        paragraphOffset == 0) {
        *this = std::move(other);
        return;
    }
    texts_.append(other.texts_);
    for (std::size_t end : other.ends_)
        ends_.push_back(end + textOffset);
    flags_.insert(flags_.end(), other.flags_.begin(), other.flags_.end());
    characters_.insert(characters_.end(), other.characters_.begin(), other.characters_.end());
    appendRuns(sentences_, other.sentences_, tokenOffset, sentenceOffset);
    appendRuns(paragraphs_, other.paragraphs_, tokenOffset, paragraphOffset);
    for (Extra& extra : other.extras_) {
        extra.index += tokenOffset;
        extras_.push_back(std::move(extra));
    }
    other = TokenList();
}

void TokenList::appendRuns(std::vector<Run>& runs, const std::vector<Run>& other,
                           std::size_t firstOffset, std::int64_t valueOffset) {
    for (const Run& run : other) {
        const std::int64_t value = run.value + valueOffset;
        if (runs.empty() || runs.back().value != value)
            runs.push_back({run.first + firstOffset, value});
    }
}

const TokenList::Extra* TokenList::extraAt(std::size_t i) const {
    const auto found =
        std::lower_bound(extras_.begin(), extras_.end(), i,
                         [](const Extra& extra, std::size_t at) { return extra.index < at; });
    return found != extras_.end() && found->index == i ? &*found : nullptr;
}

std::int64_t TokenList::valueAt(const std::vector<Run>& runs, std::size_t i) {
    const auto after = std::upper_bound(
        runs.begin(), runs.end(), i, [](std::size_t at, const Run& run) { return at < run.first; });
    return std::prev(after)->value;
}

} // namespace BlinkwitCore
