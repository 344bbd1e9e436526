// Feeds arbitrary bytes to the text engine in every code-block mode and aborts when a token
// list breaks the token model's invariants, when reading the text in pieces gives other tokens
// than one pass, or when the fence scanner disagrees with the fence patterns it stands in for.
#include "core/ChunkedTokenizer.h"
#include "core/CompiledPattern.h"
#include "core/FencedBlockScanner.h"
#include "core/TextPreprocessor.h"
#include "core/UnicodeText.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

using namespace BlinkwitCore;

namespace {

[[noreturn]] void fail(const char* what, std::size_t index) {
    std::fprintf(stderr, "invariant broken at token %zu: %s\n", index, what);
    std::abort();
}

void check(bool condition, const char* what, std::size_t index) {
    if (!condition)
        fail(what, index);
}

bool isValidUtf8(std::string_view text) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = std::int32_t(text.size());
    for (std::int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0)
            return false;
    }
    return true;
}

bool hasWhiteSpace(const std::string& text) {
    const icu::UnicodeString wide = UnicodeText::fromUtf8(text);
    for (std::int32_t i = 0; i < wide.length(); i = wide.moveIndex32(i, 1)) {
        if (u_isUWhiteSpace(wide.char32At(i)))
            return true;
    }
    return false;
}

void checkToken(const Token& token, std::size_t i) {
    check(!token.text.empty(), "empty text", i);
    check(isValidUtf8(token.text), "text is not UTF-8", i);
    check(token.text.find("\xee\x80\x80") == std::string::npos, "text holds U+E000", i);
    check(token.text.find("\xee\x80\x81") == std::string::npos, "text holds U+E001", i);
    if (token.kind == TokenKind::word())
        check(!hasWhiteSpace(token.text), "white space in a word", i);
    check(token.codeContent.has_value() == token.isCodeBlock(), "code content off a code block", i);
    if (token.codeContent)
        check(isValidUtf8(*token.codeContent), "code content is not UTF-8", i);
    if (token.kind.language())
        check(!token.kind.language()->empty(), "empty language", i);
}

void checkSequence(const std::vector<Token>& tokens) {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        checkToken(token, i);
        const bool last = i + 1 == tokens.size();
        if (i == 0) {
            check(token.sentenceIndex == 0 && token.paragraphIndex == 0, "first indices", i);
        }
        if (last) {
            check(token.endsSentence, "the text does not end a sentence", i);
            continue;
        }
        const Token& next = tokens[i + 1];
        check(next.sentenceIndex == token.sentenceIndex + (token.endsSentence ? 1 : 0),
              "sentence numbering", i);
        const std::int64_t step = next.paragraphIndex - token.paragraphIndex;
        check(step == 0 || step == 1, "paragraph numbering", i);
        check(token.paragraphBreakAfter == (step == 1), "paragraph break misplaced", i);
        if (step == 1)
            check(token.endsSentence, "paragraph does not end a sentence", i);
    }
}

std::string describe(const std::optional<icu::UnicodeString>& language,
                     const icu::UnicodeString& body) {
    return "<" + (language ? UnicodeText::toUtf8(*language) : "-") + "|" +
           UnicodeText::toUtf8(body) + ">";
}

void checkFenceScanner(const icu::UnicodeString& text) {
    static const CompiledPattern block(
        uR"re(^[ ]*```([A-Za-z0-9+#._-]*)[^\n]*\n(.*?)\n?^[ ]*```[ ]*$)re",
        UREGEX_MULTILINE | UREGEX_DOTALL);
    static const CompiledPattern stray(uR"re(^[ ]*```[^\n]*$)re", UREGEX_MULTILINE);
    const icu::UnicodeString byPattern =
        stray.replaceAll(block.replacingMatches(text,
                                                [](const CompiledPattern::Groups& g) {
                                                    std::optional<icu::UnicodeString> language;
                                                    if (g[1] && !g[1]->isEmpty())
                                                        language = g[1];
                                                    return UnicodeText::fromUtf8(
                                                        describe(language, g[2].value_or(u"")));
                                                }),
                         u"");
    icu::UnicodeString scanned;
    std::int32_t copiedUpTo = 0;
    for (const auto& found : FencedBlockScanner::closedBlocks(text)) {
        scanned.append(text, copiedUpTo, found.start - copiedUpTo);
        scanned.append(UnicodeText::fromUtf8(describe(found.language, found.body)));
        copiedUpTo = found.end;
    }
    scanned.append(text, copiedUpTo, text.length() - copiedUpTo);
    if (FencedBlockScanner::blankStrayFences(scanned) != byPattern) {
        std::fprintf(stderr, "fence scanner and fence patterns disagree\n");
        std::abort();
    }
}

void checkPieces(std::string_view input, TextPreprocessor::Options options) {
    // A cut after every blank line, read on one thread: the fuzzer runs many inputs at once.
    const ChunkedTokenizer pieces(options, {.pieceBytes = 1, .threads = 1});
    if (!(pieces.run(input) == Pipeline(options).run(UnicodeText::fromUtf8(input)))) {
        std::fprintf(stderr, "reading in pieces gives other tokens than one pass\n");
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    for (auto mode : TextPreprocessor::allCodeBlockModes) {
        checkSequence(TextPreprocessor::tokens(input, {.codeBlockMode = mode}));
        checkPieces(input, {.codeBlockMode = mode});
    }
    if (input.find("```") != std::string_view::npos)
        checkFenceScanner(UnicodeText::fromUtf8(input));
    return 0;
}
