#pragma once

#include "Token.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace BlinkwitCore {

// The tokens of one text, kept compactly enough for texts of millions of words: every text in
// one buffer, two bytes of flags and length per token, sentence and paragraph numbers as runs,
// and the rare code-block payloads apart. A token as a Token value costs about 120 bytes; here
// it costs its text plus about 10. Reads hand out Token values or single fields.
class TokenList {
public:
    // Where a run of equal sentence (or paragraph) numbers begins.
    struct Run {
        std::size_t first = 0;
        std::int64_t value = 0;

        bool operator==(const Run&) const = default;
    };

    // Walks the list handing out Token values.
    class Iterator {
    public:
        using value_type = Token;
        using difference_type = std::ptrdiff_t;
        using iterator_category = std::input_iterator_tag;

        Iterator() = default;
        Iterator(const TokenList* list, std::size_t i)
            : list_(list)
            , i_(i) {}
        Token operator*() const { return (*list_)[i_]; }
        Iterator& operator++() {
            ++i_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++i_;
            return before;
        }
        bool operator==(const Iterator& other) const { return i_ == other.i_; }

    private:
        const TokenList* list_ = nullptr;
        std::size_t i_ = 0;
    };

    TokenList() = default;
    // A list of values converts, so that callers may build tokens one by one.
    TokenList(const std::vector<Token>& tokens);
    TokenList(std::initializer_list<Token> tokens);

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // Bytes of all texts together.
    std::size_t textBytes() const { return texts_.size(); }

    // The token at i as a value; at() checks the position and throws std::out_of_range.
    Token operator[](std::size_t i) const;
    Token at(std::size_t i) const;
    std::vector<Token> toVector() const;
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, size()); }

    std::string_view text(std::size_t i) const;
    TokenKind::Case kind(std::size_t i) const;
    // The kind with its payload; only code blocks need the lookup.
    TokenKind fullKind(std::size_t i) const;
    const std::optional<std::string>& codeContent(std::size_t i) const;
    bool endsSentence(std::size_t i) const { return has(i, endsSentenceBit); }
    bool endsClause(std::size_t i) const { return has(i, endsClauseBit); }
    bool paragraphBreakAfter(std::size_t i) const { return has(i, paragraphBreakBit); }
    bool containsDigits(std::size_t i) const { return has(i, digitsBit); }
    std::int64_t sentenceIndex(std::size_t i) const { return valueAt(sentences_, i); }
    std::int64_t paragraphIndex(std::size_t i) const { return valueAt(paragraphs_, i); }
    // User-perceived characters of the text, capped at maxCountedCharacters: every rule that
    // looks at a word's length stops growing long before.
    int characterCount(std::size_t i) const { return characters_[i]; }
    static constexpr int maxCountedCharacters = 255;

    // A run starts wherever the number differs from the previous token's.
    const std::vector<Run>& sentenceRuns() const { return sentences_; }
    const std::vector<Run>& paragraphRuns() const { return paragraphs_; }
    // The run holding token i, looked for forward from run from: walking the list in order this
    // way costs no search per token.
    static std::size_t runAt(const std::vector<Run>& runs, std::size_t from, std::size_t i);

    void reserve(std::size_t tokens, std::size_t textBytes);
    void push_back(const Token& token);
    // An ordinary word, without the Unicode lookups push_back makes: its character count and
    // whether it holds digits are given.
    void pushWord(std::string_view text, int characters, bool digits, bool endsSentence,
                  bool endsClause, std::int64_t sentence, std::int64_t paragraph);
    void setEndsSentence(std::size_t i, bool on) { set(i, endsSentenceBit, on); }
    void setParagraphBreakAfter(std::size_t i, bool on) { set(i, paragraphBreakBit, on); }
    // Moves other's tokens to the end, their sentence and paragraph numbers raised by the
    // offsets.
    void append(TokenList&& other, std::int64_t sentenceOffset, std::int64_t paragraphOffset);

    bool operator==(const TokenList&) const = default;

private:
    // Code-block payloads, and code content wherever it was given.
    struct Extra {
        std::size_t index = 0;
        TokenKind kind;
        std::optional<std::string> codeContent;

        bool operator==(const Extra&) const = default;
    };

    static constexpr std::uint8_t endsSentenceBit = 1;
    static constexpr std::uint8_t endsClauseBit = 2;
    static constexpr std::uint8_t paragraphBreakBit = 4;
    static constexpr std::uint8_t digitsBit = 8;
    static constexpr int kindShift = 4;

    bool has(std::size_t i, std::uint8_t bit) const { return (flags_[i] & bit) != 0; }
    void set(std::size_t i, std::uint8_t bit, bool on);
    void pushRuns(std::int64_t sentence, std::int64_t paragraph);
    const Extra* extraAt(std::size_t i) const;
    static std::int64_t valueAt(const std::vector<Run>& runs, std::size_t i);
    static void appendRuns(std::vector<Run>& runs, const std::vector<Run>& other,
                           std::size_t firstOffset, std::int64_t valueOffset);

    std::string texts_;
    std::vector<std::size_t> ends_;
    std::vector<std::uint8_t> flags_;
    std::vector<std::uint8_t> characters_;
    std::vector<Run> sentences_;
    std::vector<Run> paragraphs_;
    std::vector<Extra> extras_;
};

} // namespace BlinkwitCore
