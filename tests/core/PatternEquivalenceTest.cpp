// The engine finds some matches without running the defining pattern over the whole text
// (a line scan for fences, candidate positions for the rest). These tests compare each stage
// with the plain ICU patterns on many random texts built from the characters that matter.
#include "TextTestSupport.h"
#include "core/CompiledPattern.h"
#include "core/FencedBlockScanner.h"
#include "core/Pipeline.h"

#include <gtest/gtest.h>
#include <random>

using BlinkwitCore::CompiledPattern;
using BlinkwitCore::FencedBlockScanner;
using BlinkwitCore::Pipeline;
using BlinkwitCore::TextPreprocessor;
using namespace TextTestSupport;

namespace {

constexpr int rounds = 4000;

class RandomText {
public:
    explicit RandomText(std::vector<std::u16string> pieces)
        : pieces_(std::move(pieces)) {}

    icu::UnicodeString next() {
        std::uniform_int_distribution<std::size_t> length(0, 24);
        std::uniform_int_distribution<std::size_t> piece(0, pieces_.size() - 1);
        icu::UnicodeString text;
        for (std::size_t n = length(random_); n > 0; --n) {
            const std::u16string& chosen = pieces_[piece(random_)];
            text.append(chosen.data(), std::int32_t(chosen.size()));
        }
        return text;
    }

private:
    std::vector<std::u16string> pieces_;
    std::mt19937 random_{20261206};
};

icu::UnicodeString deleteAll(const icu::UnicodeString& text, const char16_t* pattern,
                             std::uint32_t flags = 0) {
    return CompiledPattern(pattern, flags).replaceAll(text, u"");
}

std::string describeBlock(const std::optional<icu::UnicodeString>& language,
                          const icu::UnicodeString& body) {
    return "<" + (language ? u8(*language) : "-") + "|" + u8(body) + ">";
}

std::string fencesByPattern(const icu::UnicodeString& text) {
    const CompiledPattern block(uR"re(^[ ]*```([A-Za-z0-9+#._-]*)[^\n]*\n(.*?)\n?^[ ]*```[ ]*$)re",
                                UREGEX_MULTILINE | UREGEX_DOTALL);
    const auto replaced = block.replacingMatches(text, [](const CompiledPattern::Groups& g) {
        std::optional<icu::UnicodeString> language;
        if (g[1] && !g[1]->isEmpty())
            language = g[1];
        return u16(describeBlock(language, g[2].value_or(u"")));
    });
    return u8(deleteAll(replaced, uR"re(^[ ]*```[^\n]*$)re", UREGEX_MULTILINE));
}

std::string fencesByScanner(const icu::UnicodeString& text) {
    icu::UnicodeString replaced;
    std::int32_t copiedUpTo = 0;
    for (const auto& block : FencedBlockScanner::closedBlocks(text)) {
        replaced.append(text, copiedUpTo, block.start - copiedUpTo);
        replaced.append(u16(describeBlock(block.language, block.body)));
        copiedUpTo = block.end;
    }
    replaced.append(text, copiedUpTo, text.length() - copiedUpTo);
    return u8(FencedBlockScanner::blankStrayFences(replaced));
}

std::string stripANSIByPatterns(const icu::UnicodeString& text) {
    icu::UnicodeString result =
        deleteAll(text, uR"re(\x{1B}\][^\x{07}\x{1B}]*(\x{07}|\x{1B}\\))re");
    result = deleteAll(result, uR"re(\x{1B}\[[0-9;:?<=>]*[ !\x{22}#$%&'()*+,\-./]*[@-~])re");
    result = deleteAll(result, uR"re(\x{9B}[0-9;:?<=>]*[@-~])re");
    result = deleteAll(result, uR"re(\x{1B}[@-_])re");
    return u8(deleteAll(result, uR"re([\x{00}-\x{08}\x{0B}\x{0C}\x{0E}-\x{1F}\x{7F}])re"));
}

std::string emphasisByPatterns(const icu::UnicodeString& text) {
    icu::UnicodeString result = deleteAll(deleteAll(text, uR"re(\*\*)re"), u"__");
    result = CompiledPattern(uR"re((?<=\s|^)\*([^*\n]+)\*(?=[\s.,;:!?)\]]|$))re", UREGEX_MULTILINE)
                 .replaceAll(result, u"$1");
    return u8(
        CompiledPattern(uR"re((?<![\w`])_([^_\s][^_\n]*)_(?![\w]))re").replaceAll(result, u"$1"));
}

// Placeholders replaced by what they stand for.
std::string expanded(const icu::UnicodeString& text, const std::vector<std::string>& stash) {
    icu::UnicodeString shown;
    for (std::int32_t i = 0; i < text.length(); ++i) {
        if (text[i] != Pipeline::placeholderMark) {
            shown.append(text[i]);
            continue;
        }
        const std::int32_t end = text.indexOf(Pipeline::placeholderMark, i + 1);
        shown.append(u16(stash.at(std::stoul(u8(text.tempSubString(i + 1, end - i - 1))))));
        i = end;
    }
    return u8(shown);
}

std::string inlineByPatterns(const icu::UnicodeString& text) {
    std::vector<std::string> stash;
    const auto stashed = [&stash](const std::string& shown) {
        stash.push_back(shown);
        return u16("\xee\x80\x80" + std::to_string(stash.size() - 1) + "\xee\x80\x80");
    };
    const auto code = [&](const CompiledPattern::Groups& g) {
        return stashed("{code:" + u8(*g[1]) + "}");
    };
    const auto address = [&](const CompiledPattern::Groups& g) {
        icu::UnicodeString host = deleteAll(*g[0], uR"re((?i)^https?://)re");
        host = deleteAll(deleteAll(host, uR"re([/:?#].*$)re"), uR"re(^www\.)re");
        return stashed("{url:\xe2\x9f\xa8" + u8(host) + "\xe2\x9f\xa9}");
    };
    icu::UnicodeString result =
        CompiledPattern(uR"re(`([^`\n\x{E000}\x{E001}]+)`)re").replacingMatches(text, code);
    result = CompiledPattern(uR"re(!\[([^\]]*)\]\(([^)]*)\))re").replaceAll(result, u"$1");
    result = CompiledPattern(uR"re(\[([^\]]+)\]\(([^)]*)\))re").replaceAll(result, u"$1");
    result = CompiledPattern(uR"re((?i)\bhttps?://[^\s<>\x{22}'\)\]\x{E000}\x{E001}]+)re")
                 .replacingMatches(result, address);
    return expanded(result, stash);
}

std::string inlineByStage(const icu::UnicodeString& text) {
    Pipeline pipeline({});
    const icu::UnicodeString extracted = pipeline.extractInline(text);
    std::vector<std::string> stash;
    for (const auto& token : pipeline.stash())
        stash.push_back("{" + std::string(token.kind.name()) + ":" + token.text + "}");
    return expanded(extracted, stash);
}

} // namespace

TEST(PatternEquivalence, FenceScannerMatchesTheFencePatterns) {
    RandomText random({u"```", u"```", u"`", u"  ", u"\n", u"\n", u"py", u"x", u"\u2028", u"\r",
                       u"````", u"#", u"\u0085", u" ```\n"});
    for (int i = 0; i < rounds; ++i) {
        const icu::UnicodeString text = random.next();
        ASSERT_EQ(fencesByScanner(text), fencesByPattern(text)) << u8(text);
    }
}

TEST(PatternEquivalence, StripANSIMatchesItsPatterns) {
    RandomText random({u"\x1b", u"\x1b", u"[", u"]", u"\x07", u"\\",   u"0",
                       u";",    u"m",    u" ", u"a", u"\x9b", u"\x01", u"\n",
                       u"\r",   u"@",    u"~", u"?", u"\t",   u"\x7f"});
    for (int i = 0; i < rounds; ++i) {
        const icu::UnicodeString text = random.next();
        ASSERT_EQ(u8(TextPreprocessor::stripANSI(text)), stripANSIByPatterns(text)) << u8(text);
    }
}

TEST(PatternEquivalence, StripEmphasisMatchesItsPatterns) {
    RandomText random(
        {u"*", u"*", u"_", u"_", u" ", u"a", u"\n", u".", u"`", u")", u"é", u"\u2028", u"1"});
    for (int i = 0; i < rounds; ++i) {
        const icu::UnicodeString text = random.next();
        ASSERT_EQ(u8(TextPreprocessor::stripEmphasis(text)), emphasisByPatterns(text)) << u8(text);
    }
}

TEST(PatternEquivalence, InlineExtractionMatchesItsPatterns) {
    RandomText random({u"`",      u"![",     u"[", u"]", u"(",      u")",  u"http", u"https",
                       u"HTTP",   u"://",    u"s", u"ſ", u"h",      u" ",  u"\n",   u"www.",
                       u".",      u"x",      u"/", u"?", u"\uE001", u"\"", u"_",    u"é",
                       u"\u0085", u"\u2028", u"w", u":", u"#"});
    for (int i = 0; i < rounds; ++i) {
        const icu::UnicodeString text = random.next();
        ASSERT_EQ(inlineByStage(text), inlineByPatterns(text)) << u8(text);
    }
}
