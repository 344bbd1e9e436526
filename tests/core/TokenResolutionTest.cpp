#include "TextTestSupport.h"
#include "core/Pipeline.h"

#include <gtest/gtest.h>

using BlinkwitCore::Pipeline;
using BlinkwitCore::Token;
using BlinkwitCore::TokenKind;
using namespace TextTestSupport;

namespace {

Token resolved(const std::string& word) {
    const auto token = Pipeline({}).resolve(u16(word));
    return token.value_or(Token{.text = "<nothing>"});
}

bool isPath(const std::string& text) {
    return Pipeline::looksLikePath(u16(text));
}

} // namespace

TEST(Resolve, PunctuationEndsSentencesAndClauses) {
    for (const char* word : {"end.", "end.\"", "end.)", "why?\xe2\x80\x99", "wait...", "so!",
                             "and\xe2\x80\xa6", "end.\xc2\xbb"})
        EXPECT_TRUE(resolved(word).endsSentence) << word;
    for (const char* word : {"one,", "two;", "three:", "four,)"}) {
        EXPECT_TRUE(resolved(word).endsClause) << word;
        EXPECT_FALSE(resolved(word).endsSentence) << word;
    }
    for (const char* word : {"plain", "(open", "e.g", "x.\xcc\x81"})
        EXPECT_FALSE(resolved(word).endsSentence || resolved(word).endsClause) << word;
    EXPECT_EQ(resolved("(hello,").text, "(hello,");
}

TEST(Resolve, DigitsAreAnyNumericCharacter) {
    EXPECT_TRUE(resolved("2.0").containsDigits);
    EXPECT_TRUE(resolved("\xc2\xbd").containsDigits);     // ½
    EXPECT_TRUE(resolved("\xe2\x85\xab").containsDigits); // Ⅻ
    EXPECT_TRUE(resolved("\xd9\xa3").containsDigits);     // Arabic-Indic three
    EXPECT_FALSE(resolved("Version").containsDigits);
}

TEST(Resolve, SentenceMarkForcesAnEndAndVanishes) {
    const Token marked = resolved("item" + mark);
    EXPECT_EQ(marked.text, "item");
    EXPECT_TRUE(marked.endsSentence);
    EXPECT_FALSE(Pipeline({}).resolve(u16(mark + mark)).has_value());
}

TEST(Resolve, PlaceholdersTakeStashedTokensBack) {
    Pipeline pipeline({});
    const std::string first =
        u8(pipeline.stashToken(Token{.text = "x", .kind = TokenKind::code()}));
    EXPECT_EQ(first, "\xee\x80\x80"
                     "0\xee\x80\x80");
    const auto withComma = pipeline.resolve(u16(first + ","));
    ASSERT_TRUE(withComma.has_value());
    EXPECT_EQ(withComma->text, "x");
    EXPECT_TRUE(withComma->endsClause);
    EXPECT_TRUE(pipeline.resolve(u16(first + "?!"))->endsSentence);
    EXPECT_TRUE(pipeline.resolve(u16(first + mark))->endsSentence);
    // Embedded in a longer word, out of range, or too large: the placeholder is dropped.
    EXPECT_EQ(pipeline.resolve(u16("(" + first + ")"))->text, "()");
    EXPECT_FALSE(pipeline
                     .resolve(u16("\xee\x80\x80"
                                  "7\xee\x80\x80"))
                     .has_value());
    EXPECT_FALSE(pipeline
                     .resolve(u16("\xee\x80\x80"
                                  "99999999999999999999\xee\x80\x80"))
                     .has_value());
    // A lone mark is not shown either.
    EXPECT_EQ(pipeline
                  .resolve(u16("a\xee\x80\x80"
                               "b"))
                  ->text,
              "ab");
}

TEST(Resolve, PathsBecomeCodeWithoutTrailingPunctuation) {
    const Token path = resolved("src/app/main.c.");
    EXPECT_EQ(path.text, "src/app/main.c");
    EXPECT_EQ(path.kind, TokenKind::code());
    EXPECT_TRUE(path.endsSentence);
    const Token quoted = resolved("./run.sh\"");
    EXPECT_EQ(quoted.text, "./run.sh");
    EXPECT_EQ(quoted.kind, TokenKind::code());
    const Token clause = resolved("~/notes:");
    EXPECT_EQ(clause.text, "~/notes");
    EXPECT_TRUE(clause.endsClause);
    // Only . , ; : ! ? come off a path; a quote before the comma keeps it a word.
    EXPECT_EQ(resolved("./run.sh\",").kind, TokenKind::word());
    EXPECT_TRUE(resolved("12/05/2024").containsDigits);
    EXPECT_EQ(resolved("12/05/2024").kind, TokenKind::code());
    EXPECT_EQ(resolved("and/or").kind, TokenKind::word());
}

TEST(LooksLikePath, UnixWindowsAndRelativeForms) {
    for (const char* path : {"src/main.c", "~/notes", "./run.sh", "a/b/c", "/usr", "../up",
                             "C:\\Users\\me\\file.txt", "dir\\file", "12/05/2024",
                             "/"
                             "usr/local/"})
        EXPECT_TRUE(isPath(path)) << path;
    for (const char* word : {"and/or", "either/or", "1/2", "3/4", "a/", "/", "ab", "x\\",
                             "\\\\server\\share", "http:/x", "a b/c.d",
                             "/usr/"
                             "a b"})
        EXPECT_FALSE(isPath(word)) << word;
}

TEST(Tokenize, ParagraphsAndSentencesAreNumberedAcrossTheText) {
    const auto tokens = tokensOf("He left. She stayed\nhere.\n\n\n\nNext one\n   \n\tLast");
    ASSERT_EQ(textsOf(tokens), (std::vector<std::string>{"He", "left.", "She", "stayed", "here.",
                                                         "Next", "one", "Last"}));
    const std::vector<std::int64_t> sentences = {0, 0, 1, 1, 1, 2, 2, 3};
    const std::vector<std::int64_t> paragraphs = {0, 0, 0, 0, 0, 1, 1, 2};
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        EXPECT_EQ(tokens[i].sentenceIndex, sentences[i]) << i;
        EXPECT_EQ(tokens[i].paragraphIndex, paragraphs[i]) << i;
    }
    EXPECT_TRUE(tokens[6].endsSentence); // a paragraph always ends its sentence
    EXPECT_TRUE(tokens[4].paragraphBreakAfter);
    EXPECT_TRUE(tokens[6].paragraphBreakAfter);
    EXPECT_FALSE(tokens[7].paragraphBreakAfter);
    EXPECT_FALSE(tokens[3].paragraphBreakAfter);
}

TEST(Tokenize, AgreesWithResolvingEachWordAlone) {
    // Plain ASCII words take a shorter path through tokenize than through resolve.
    const std::string text = "a (b) c, d; e: f. g! h? i.\" j.) k,' l] m} n.a o9 \"p\" ' q...";
    const Pipeline pipeline({});
    const auto tokens = pipeline.tokenize(u16(text)).tokens.toVector();
    ASSERT_EQ(tokens.size(), 18u); // the last word ends the sentence by itself
    for (const Token& token : tokens) {
        Token alone = pipeline.resolve(u16(token.text)).value();
        alone.sentenceIndex = token.sentenceIndex;
        EXPECT_EQ(token, alone) << token.text;
    }
}

TEST(Tokenize, EmptyParagraphsLeaveNoGapButTheLastStillBreaks) {
    // The middle paragraph is a lone sentence mark: it yields no token.
    const auto tokens = tokensOf("one\n\n" + mark + "\n\ntwo\n\n" + mark);
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[1].paragraphIndex, 1);
    EXPECT_TRUE(tokens[1].paragraphBreakAfter);
}
