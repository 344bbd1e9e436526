#include "TokenJsonLines.h"

#include "JsonText.h"
#include "core/ORP.h"
#include "core/TimingEngine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace Blinkwit {

namespace {

using BlinkwitCore::TokenKind;
using BlinkwitCore::TokenList;

constexpr std::size_t durationFacts = 32;

std::string_view kindFields(TokenKind::Case kind) {
    switch (kind) {
    case TokenKind::Case::word:
        return R"(,"kind":"word","language":null,"lineCount":null,"codeContent":null)";
    case TokenKind::Case::code:
        return R"(,"kind":"code","language":null,"lineCount":null,"codeContent":null)";
    case TokenKind::Case::url:
        return R"(,"kind":"url","language":null,"lineCount":null,"codeContent":null)";
    case TokenKind::Case::codeBlock:
        break;
    }
    return R"(,"kind":"codeBlock")";
}

// endsSentence, endsClause and paragraphBreakAfter with their values, up to the sentence index.
const std::array<std::string, 8>& flagFields() {
    static const std::array<std::string, 8> fields = [] {
        std::array<std::string, 8> all;
        for (std::size_t bits = 0; bits < all.size(); ++bits) {
            const auto flag = [bits](std::size_t bit) { return (bits & bit) ? "true" : "false"; };
            all[bits] = std::string(R"(,"endsSentence":)") + flag(1) + R"(,"endsClause":)" +
                        flag(2) + R"(,"paragraphBreakAfter":)" + flag(4) + R"(,"sentenceIndex":)";
        }
        return all;
    }();
    return fields;
}

void appendNumber(std::string& out, auto value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

// The run of runs holding token i, searched forward from the previous one.
std::size_t runAt(const std::vector<TokenList::Run>& runs, std::size_t from, std::size_t i) {
    while (from + 1 < runs.size() && runs[from + 1].first <= i)
        ++from;
    return from;
}

} // namespace

TokenJsonLines::TokenJsonLines(const TokenList& tokens, std::int64_t wpm)
    : tokens_(tokens)
    , wpm_(wpm)
    , durations_((TokenList::maxCountedCharacters + 1) * durationFacts) {}

void TokenJsonLines::append(std::string& out, std::size_t first, std::size_t last) {
    const auto& sentences = tokens_.sentenceRuns();
    const auto& paragraphs = tokens_.paragraphRuns();
    std::size_t sentence = 0;
    std::size_t paragraph = 0;
    for (std::size_t i = first; i < last; ++i) {
        sentence = runAt(sentences, sentence, i);
        paragraph = runAt(paragraphs, paragraph, i);
        const TokenKind::Case kind = tokens_.kind(i);
        out += R"({"text":)";
        JsonText::appendQuoted(out, tokens_.text(i));
        out += kindFields(kind);
        if (kind == TokenKind::Case::codeBlock)
            appendCodeBlockFields(out, i);
        const std::size_t bits = (tokens_.endsSentence(i) ? 1 : 0) |
                                 (tokens_.endsClause(i) ? 2 : 0) |
                                 (tokens_.paragraphBreakAfter(i) ? 4 : 0);
        out += flagFields()[bits];
        appendNumber(out, sentences[sentence].value);
        out += R"(,"paragraphIndex":)";
        appendNumber(out, paragraphs[paragraph].value);
        out += tokens_.containsDigits(i) ? R"(,"containsDigits":true,"orp":)"
                                         : R"(,"containsDigits":false,"orp":)";
        appendNumber(out, BlinkwitCore::ORP::indexForLength(tokens_.characterCount(i)));
        out += R"(,"duration":)";
        out += duration(i);
        out += "}\n";
    }
}

void TokenJsonLines::appendCodeBlockFields(std::string& out, std::size_t i) const {
    const TokenKind kind = tokens_.fullKind(i);
    out += R"(,"language":)";
    if (kind.language())
        JsonText::appendQuoted(out, *kind.language());
    else
        out += "null";
    out += R"(,"lineCount":)";
    appendNumber(out, kind.lineCount());
    out += R"(,"codeContent":)";
    if (const auto& code = tokens_.codeContent(i))
        JsonText::appendQuoted(out, *code);
    else
        out += "null";
}

const std::string& TokenJsonLines::duration(std::size_t i) {
    const std::size_t facts = (tokens_.kind(i) == TokenKind::Case::codeBlock ? 1 : 0) |
                              (tokens_.containsDigits(i) ? 2 : 0) |
                              (tokens_.endsSentence(i) ? 4 : 0) | (tokens_.endsClause(i) ? 8 : 0) |
                              (tokens_.paragraphBreakAfter(i) ? 16 : 0);
    std::string& text = durations_[std::size_t(tokens_.characterCount(i)) * durationFacts + facts];
    if (text.empty())
        appendNumber(text, BlinkwitCore::TimingEngine::duration(tokens_, i, wpm_));
    return text;
}

} // namespace Blinkwit
