#pragma once

#include "TextPreprocessor.h"
#include "Token.h"
#include "TokenList.h"

#include <optional>
#include <unicode/unistr.h>
#include <vector>

namespace BlinkwitCore {

// One run of the text engine. Units that must reach the reader whole (code blocks, code spans,
// addresses) are taken out of the text early into the stash and stand in the text as a
// placeholder word, U+E000 index U+E000, until word resolution puts them back.
class Pipeline {
public:
    static constexpr char16_t placeholderMark = 0xE000;

    explicit Pipeline(TextPreprocessor::Options options)
        : options_(options) {}

    TokenList run(icu::UnicodeString text);

    // What a link or image pattern, scanning on, would find open at the end of a text: whether
    // the last square bracket opens one ('[' rather than ']'), and whether a "](" still waits
    // for its ')'. Nothing where the text holds no such character and leaves it as it was.
    struct OpenMarkup {
        std::optional<bool> bracket;
        std::optional<bool> target;

        static OpenMarkup of(const icu::UnicodeString& text);
        // The state after a text with these ends, given the state before it.
        OpenMarkup after(const OpenMarkup& text) const;
        bool closed() const { return !bracket.value_or(false) && !target.value_or(false); }
    };

    // One piece of a longer text, with what it leaves open for the next piece. Cut where a
    // blank line ends, a piece reads exactly as within the whole text unless it leaves a fence
    // or some link mark-up open (see ChunkedTokenizer).
    struct Piece {
        TokenList tokens;
        // Every paragraph of the text, also those that gave no token.
        std::size_t paragraphs = 0;
        bool fenceLeftOpen = false;
        // As the link pattern sees the text. Whatever the image pattern, before it, finds open
        // stays open for the link pattern too.
        OpenMarkup links;
    };
    Piece runPiece(icu::UnicodeString text);

    // Appends token to the stash and returns its placeholder.
    icu::UnicodeString stashToken(Token token);
    const std::vector<Token>& stash() const { return stash_; }

    // The multi-pass stages take their input by value: each pass releases the text it read.
    icu::UnicodeString extractFencedCodeBlocks(icu::UnicodeString text);
    icu::UnicodeString extractInline(icu::UnicodeString text);
    struct Tokenized {
        TokenList tokens;
        std::size_t paragraphs = 0;
    };
    Tokenized tokenize(const icu::UnicodeString& text) const;
    std::optional<Token> resolve(const icu::UnicodeString& word) const;
    static bool looksLikePath(const icu::UnicodeString& candidate);

    // What one pass over a word tells about it; the rare cases take the slow paths.
    struct WordTraits {
        bool marked = false;
        bool placeholder = false;
        bool pathSeparator = false;
        bool ascii = true;
        bool asciiDigit = false;
    };

private:
    static Token ordinaryWord(const icu::UnicodeString& word, const WordTraits& traits);
    icu::UnicodeString collapseCodeBlock(const std::optional<icu::UnicodeString>& language,
                                         const icu::UnicodeString& body);
    icu::UnicodeString extractCodeSpans(const icu::UnicodeString& text);
    icu::UnicodeString extractAddresses(const icu::UnicodeString& text);
    std::optional<Token> resolveStashed(const icu::UnicodeString& word) const;
    // Turns an ordinary word into a code token when, without its trailing punctuation, it
    // looks like a path.
    static void resolvePath(const icu::UnicodeString& word, Token& token);

    TextPreprocessor::Options options_;
    std::vector<Token> stash_;
    // What the last run's stages left open at the end of the text.
    bool fenceLeftOpen_ = false;
    OpenMarkup linksOpen_;
};

} // namespace BlinkwitCore
