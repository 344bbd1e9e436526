// Reading a text in pieces on several threads must give exactly the tokens of one pass: these
// texts put blank lines inside everything that can span them.
#include "core/ChunkedTokenizer.h"

#include "TextTestSupport.h"
#include "core/Pipeline.h"
#include "core/TimingEngine.h"

#include <gtest/gtest.h>
#include <random>

using namespace BlinkwitCore;
using namespace TextTestSupport;
using Mode = TextPreprocessor::CodeBlockMode;

namespace {

// Many short pieces: a cut may fall after every blank line.
const ChunkedTokenizer::Plan everyBlankLine{.pieceBytes = 1, .threads = 3};

std::string randomText(std::mt19937& random) {
    static const std::vector<std::string> fragments{"\n\n",
                                                    "\n\n",
                                                    "\n  \n",
                                                    "\n",
                                                    "word ",
                                                    "end. ",
                                                    "[",
                                                    "]",
                                                    "](",
                                                    ")",
                                                    "![",
                                                    "(x)",
                                                    "```",
                                                    "```py\n",
                                                    "\n```",
                                                    "\x1b]8;",
                                                    "\x07",
                                                    "\x1b[1m",
                                                    "\x1b\\",
                                                    "# head\n",
                                                    "- item ",
                                                    "`c`",
                                                    "`",
                                                    "*em* ",
                                                    "_u_ ",
                                                    "http://a.b/c ",
                                                    "\r\n",
                                                    "\t",
                                                    "\xe2\x94\x82",
                                                    "\xee\x80\x81",
                                                    "\xee\x80\x80"
                                                    "1\xee\x80\x80 ",
                                                    "caf\xc3\xa9 ",
                                                    "1984 ",
                                                    "a/b/c.d ",
                                                    ">",
                                                    "\xff"};
    std::uniform_int_distribution<std::size_t> length(0, 40);
    std::uniform_int_distribution<std::size_t> pick(0, fragments.size() - 1);
    std::string text;
    for (std::size_t n = length(random); n > 0; --n)
        text += fragments[pick(random)];
    return text;
}

} // namespace

TEST(ChunkedTokenizer, PiecesReadExactlyAsTheWholeText) {
    std::mt19937 random(20261207);
    for (int round = 0; round < 3000; ++round) {
        const std::string text = randomText(random);
        for (Mode mode : TextPreprocessor::allCodeBlockModes) {
            const TokenList whole = Pipeline({.codeBlockMode = mode}).run(u16(text));
            ASSERT_EQ(ChunkedTokenizer({.codeBlockMode = mode}, everyBlankLine).run(text), whole)
                << "mode " << TextPreprocessor::rawValue(mode) << " text:\n"
                << text;
        }
    }
}

// An unclosed fence early turns every later fence's role around, and a link left open spans
// pieces: the pieces that follow are read again together, at worst all the rest as one. (The
// colour code hides the stray fence from the cutting, not from the reading.)
TEST(ChunkedTokenizer, MarkupLeftOpenJoinsThePiecesThatFollow) {
    std::string balanced;
    for (int i = 0; i < 40; ++i)
        balanced +=
            "Words " + std::to_string(i) + ".\n\n```\ncode " + std::to_string(i) + "\n```\n\n";
    for (const std::string& text : {"\x1b[1m```\nstray\n\n" + balanced,
                                    "[a link\n\n" + balanced + "text](x) after.\n\n" + balanced}) {
        const TokenList whole = Pipeline({}).run(u16(text));
        EXPECT_EQ(ChunkedTokenizer({}, everyBlankLine).run(text), whole);
        EXPECT_EQ(ChunkedTokenizer({}, {.pieceBytes = 100, .threads = 2}).run(text), whole);
    }
}

TEST(ChunkedTokenizer, CutsFollowBlankLinesOutsideOperatingSystemCommandsAndFences) {
    EXPECT_EQ(ChunkedTokenizer::cuts("a\n\nb\n \t\nc\n\n", 1), (std::vector<std::size_t>{3, 8}));
    EXPECT_EQ(ChunkedTokenizer::cuts("aa\n\nb\n\nc", 5), (std::vector<std::size_t>{7}));
    // A title command left open swallows the blank line; a bell or the next escape ends it.
    EXPECT_EQ(ChunkedTokenizer::cuts("\x1b]0;t\n\nx\x07\n\ny", 1), (std::vector<std::size_t>{11}));
    EXPECT_EQ(ChunkedTokenizer::cuts("\x1b]0;t\x1b[m\n\ny", 1), (std::vector<std::size_t>{10}));
    EXPECT_TRUE(ChunkedTokenizer::cuts("a\r\n\r\nb", 1).empty()) << "a CR is not blank here";
    // Not inside a fenced block, which would have to be read again with the next piece; a fence
    // is a line's first non-space, and one per line.
    EXPECT_EQ(ChunkedTokenizer::cuts("```\n\n  ```\n\nx", 1), (std::vector<std::size_t>{12}));
    EXPECT_EQ(ChunkedTokenizer::cuts("a ```\n\nb", 1), (std::vector<std::size_t>{7}));
    EXPECT_EQ(ChunkedTokenizer::cuts("``` ```\n\nb\n```\n\nc", 1), (std::vector<std::size_t>{16}));
}

TEST(ChunkedTokenizer, AStopRequestEndsWithNoTokens) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "Some words in a paragraph.\n\n";
    std::stop_source stop;
    stop.request_stop();
    EXPECT_TRUE(ChunkedTokenizer({}, everyBlankLine).run(text, stop.get_token()).empty());
    EXPECT_TRUE(TextPreprocessor::tokenList("One paragraph.", {}, stop.get_token()).empty());
}

TEST(TokenList, KeepsEveryFieldOfEveryToken) {
    Token block{.text = "\xe2\x9f\xa8"
                        "code: py, 2 lines\xe2\x9f\xa9",
                .kind = TokenKind::codeBlock("py", 2),
                .codeContent = "a\nb",
                .endsSentence = true,
                .paragraphBreakAfter = true,
                .sentenceIndex = 4,
                .paragraphIndex = 1};
    const std::vector<Token> tokens{
        {.text = "caf\xc3\xa9,", .endsClause = true, .sentenceIndex = 3, .containsDigits = true},
        {.text = "x", .kind = TokenKind::url(), .codeContent = "kept", .sentenceIndex = 9},
        block,
        {.text = "src/a.c", .kind = TokenKind::code(), .sentenceIndex = 2, .paragraphIndex = 7},
        {.text = "e\xcc\x81" + std::string(300, 'a'), .kind = TokenKind::codeBlock({}, 0)}};
    const TokenList list(tokens);
    EXPECT_EQ(list.toVector(), tokens);
    EXPECT_EQ(list.characterCount(0), 5);
    EXPECT_EQ(list.characterCount(4), TokenList::maxCountedCharacters);
    for (std::size_t i = 0; i < tokens.size(); ++i)
        EXPECT_EQ(TimingEngine::duration(list, i, 300), TimingEngine::duration(tokens[i], 300));
    EXPECT_THROW((void)list.at(5), std::out_of_range);

    TokenList joined{tokens[0], tokens[1]};
    joined.append(TokenList{block, tokens[3]}, 10, 100);
    block.sentenceIndex += 10;
    block.paragraphIndex += 100;
    EXPECT_EQ(joined[2], block);
    EXPECT_EQ(joined.paragraphIndex(3), 107);
    EXPECT_EQ(joined.sentenceRuns().size(), 4u);
}
