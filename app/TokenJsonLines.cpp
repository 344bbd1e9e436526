#include "TokenJsonLines.h"

#include "JsonText.h"
#include "core/ORP.h"
#include "core/TimingEngine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

namespace Blinkwit {

namespace {

using BlinkwitCore::TokenKind;
using BlinkwitCore::TokenList;

constexpr std::size_t durationFacts = 32;
// About a megabyte of JSON per block.
constexpr std::size_t linesPerBlock = 4096;
constexpr std::size_t none = std::size_t(-1);

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
        sentence = TokenList::runAt(sentences, sentence, i);
        paragraph = TokenList::runAt(paragraphs, paragraph, i);
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

bool TokenJsonLines::write(const TokenList& tokens, std::int64_t wpm, std::FILE* out) {
    const std::size_t blocks = (tokens.size() + linesPerBlock - 1) / linesPerBlock;
    const std::size_t formatters = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1,
                                                           std::max<std::size_t>(blocks, 1));
    const std::size_t ahead = 2 * formatters;
    std::vector<std::string> slots(ahead);
    std::vector<std::size_t> held(ahead, none); // which block each slot holds, once made
    std::mutex lock;
    std::condition_variable changed;
    std::size_t next = 0;
    std::size_t written = 0;
    bool failed = false;
    const auto format = [&] {
        TokenJsonLines lines(tokens, wpm);
        std::unique_lock guard(lock);
        while (true) {
            changed.wait(guard, [&] { return next >= blocks || failed || next < written + ahead; });
            if (next >= blocks || failed)
                return;
            const std::size_t block = next++;
            std::string text = std::move(slots[block % ahead]);
            guard.unlock();
            text.clear();
            lines.append(text, block * linesPerBlock,
                         std::min(tokens.size(), (block + 1) * linesPerBlock));
            guard.lock();
            slots[block % ahead] = std::move(text);
            held[block % ahead] = block;
            changed.notify_all();
        }
    };
    std::vector<std::jthread> helpers;
    for (std::size_t t = 0; t < formatters; ++t)
        helpers.emplace_back(format);
    std::unique_lock guard(lock);
    for (; written < blocks && !failed; ++written) {
        const std::size_t slot = written % ahead;
        changed.wait(guard, [&] { return held[slot] == written; });
        std::string text = std::move(slots[slot]);
        guard.unlock();
        failed = std::fwrite(text.data(), 1, text.size(), out) != text.size();
        guard.lock();
        slots[slot] = std::move(text);
        held[slot] = none;
        changed.notify_all();
    }
    guard.unlock();
    changed.notify_all();
    return !failed;
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
