#include "TextTestSupport.h"

#include <gtest/gtest.h>
#include <thread>

using BlinkwitCore::TextPreprocessor;
using BlinkwitCore::Token;
using BlinkwitCore::TokenKind;
using Mode = TextPreprocessor::CodeBlockMode;
using namespace TextTestSupport;

namespace {

using Texts = std::vector<std::string>;

const std::string fenced = "Before.\n\n```python\nimport os\n# comment\nprint(1)\n```\nAfter.";

} // namespace

TEST(CodeBlockMode, RawValuesRoundTrip) {
    for (Mode mode : TextPreprocessor::allCodeBlockModes)
        EXPECT_EQ(TextPreprocessor::fromRaw(TextPreprocessor::rawValue(mode)), mode);
    EXPECT_EQ(TextPreprocessor::rawValue(Mode::readWords), "readWords");
    EXPECT_FALSE(TextPreprocessor::fromRaw("Placeholder").has_value());
    EXPECT_FALSE(TextPreprocessor::fromRaw("").has_value());
}

TEST(Pipeline, TerminalTranscriptReadsAsItsWords) {
    const std::string transcript =
        esc + "[1;32mDone" + esc + "[0m\r\n" + "\xe2\xa0\x8b Thinking\xe2\x80\xa6\r\n" +
        "\xe2\x95\xad\xe2\x94\x80\xe2\x95\xae\r\n" +
        "\xe2\x94\x82 Tests \xe2\x80\x9cpassed\xe2\x80\x9d \xe2\x94\x82\r\n" +
        "Bash(make test)\r\n  12.3k tokens\r\n";
    EXPECT_EQ(textsOf(transcript), (Texts{"Done", "Tests", "\"passed\""}));
    EXPECT_TRUE(textsOf("\xe2\xa0\x8b spin\n\xe2\x94\x80\xe2\x94\x80\n").empty());
    EXPECT_TRUE(textsOf("").empty());
    EXPECT_TRUE(textsOf("#  \n").empty()); // a heading without a title
}

TEST(Pipeline, MarkdownStructureBecomesSentencesAndParagraphs) {
    const auto tokens = tokensOf("## Install\nRun `make all` now.\n- apples\n- pears\n");
    EXPECT_EQ(textsOf(tokens), (Texts{"Install", "Run", "make all", "now.", "apples", "pears"}));
    EXPECT_TRUE(tokens[0].endsSentence && tokens[0].paragraphBreakAfter);
    EXPECT_EQ(tokens[2].kind, TokenKind::code());
    EXPECT_TRUE(tokens[4].endsSentence); // list items end sentences
    EXPECT_EQ(tokens[5].sentenceIndex, 3);
    EXPECT_EQ(tokens[5].paragraphIndex, 1);
    // Emphasis inside a code span survives; outside it goes.
    EXPECT_EQ(textsOf("**Bold** and `**kept**`"), (Texts{"Bold", "and", "**kept**"}));
    const auto span = tokensOf("A `x`, then");
    EXPECT_EQ(textsOf(span), (Texts{"A", "x", "then"}));
    EXPECT_TRUE(span[1].endsClause);
    EXPECT_EQ(textsOf("see (`x`) here"), (Texts{"see", "()", "here"}));
    EXPECT_EQ(textsOf("Version 2.0"), (Texts{"Version", "2.0"}));
    EXPECT_EQ(textsOf("Read [the guide](https://x.org/g) and ![](i.png)"),
              (Texts{"Read", "the", "guide", "and"}));
}

TEST(Pipeline, CodeBlockModes) {
    const auto collapsed = tokensOf(fenced);
    ASSERT_EQ(collapsed.size(), 3u);
    EXPECT_EQ(collapsed[1].kind, TokenKind::codeBlock("python", 3));
    EXPECT_EQ(collapsed[1].codeContent, "import os\n# comment\nprint(1)");
    EXPECT_TRUE(collapsed[1].endsSentence && collapsed[1].paragraphBreakAfter);
    EXPECT_FALSE(collapsed[1].containsDigits);
    EXPECT_EQ(collapsed[2].paragraphIndex, 2);

    // Read word by word, "# comment" is a heading of its own.
    const auto read = tokensOf(fenced, Mode::readWords);
    EXPECT_EQ(textsOf(read), (Texts{"Before.", "import", "os", "comment", "print(1)", "After."}));
    EXPECT_EQ(read[3].paragraphIndex, 2);
    EXPECT_EQ(textsOf(tokensOf(fenced, Mode::skip)), (Texts{"Before.", "After."}));
    EXPECT_EQ(tokensOf(fenced, Mode::skip)[1].paragraphIndex, 1);
}

TEST(Pipeline, AddressesAndPathsInProse) {
    const auto tokens =
        tokensOf("See https://www.example.com/a/b?q=1 for details in src/app/main.c.");
    EXPECT_EQ(textsOf(tokens), (Texts{"See",
                                      "\xe2\x9f\xa8"
                                      "example.com\xe2\x9f\xa9",
                                      "for", "details", "in", "src/app/main.c"}));
    EXPECT_EQ(tokens[1].kind, TokenKind::url());
    EXPECT_EQ(tokens[5].kind, TokenKind::code());
    EXPECT_TRUE(tokens[5].endsSentence);
}

TEST(Pipeline, InvalidUtf8BecomesReplacementCharacters) {
    const auto tokens = tokensOf("ok \xff\xfe mid\xc3 end\xe2\x82");
    EXPECT_EQ(textsOf(tokens),
              (Texts{"ok", "\xef\xbf\xbd\xef\xbf\xbd", "mid\xef\xbf\xbd", "end\xef\xbf\xbd"}));
    EXPECT_EQ(textsOf(std::string("a\0b", 3)), (Texts{"ab"}));
}

TEST(Pipeline, PrivateUseMarksInTheInputNeverReachATokensText) {
    const std::string ph = "\xee\x80\x80";
    for (const std::string& text :
         {"`" + mark + "`", "`a" + ph + "0" + ph + "b`", "http://x" + ph + "y", "a" + ph,
          ph + "0" + ph, "- " + ph + "1" + ph + "\n# " + mark}) {
        for (const Token& token : tokensOf(text)) {
            EXPECT_FALSE(token.text.empty()) << text;
            EXPECT_EQ(token.text.find(ph), std::string::npos) << text;
            EXPECT_EQ(token.text.find(mark), std::string::npos) << text;
        }
    }
}

TEST(Pipeline, CallsFromSeveralThreadsAgree) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "## Part " + std::to_string(i) + "\n" + fenced + " `x` https://a.org/" +
                std::to_string(i) + " *em* path/to/file.c\n\n";
    const auto expected = tokensOf(text);
    std::vector<std::vector<Token>> results(4);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 5; ++round)
                results[t] = tokensOf(text);
        });
    for (auto& thread : threads)
        thread.join();
    for (const auto& result : results)
        EXPECT_EQ(result, expected);
}

// Multi-megabyte inputs take other memory paths (huge-page advice, no doubling of the list):
// every copy of a paragraph must still read exactly as the paragraph alone.
TEST(Pipeline, AMultiMegabyteTextReadsAsItsRepeatedParagraph) {
    const std::string paragraph = "## Step\n\x1b[1mBold\x1b[0m caf\xc3\xa9 \xff `code` see "
                                  "https://a.org/x and src/app/main.cpp.\n" +
                                  fenced + "\n\n";
    const auto one = tokensOf(paragraph);
    ASSERT_FALSE(one.empty());
    const std::size_t copies = (std::size_t(3) << 20) / paragraph.size() + 1;
    std::string text;
    for (std::size_t i = 0; i < copies; ++i)
        text += paragraph;
    const auto all = tokensOf(text);
    ASSERT_EQ(all.size(), one.size() * copies);
    const std::int64_t sentences = one.back().sentenceIndex + 1;
    const std::int64_t paragraphs = one.back().paragraphIndex + 1;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const std::size_t copy = i / one.size();
        Token expected = one[i % one.size()];
        expected.sentenceIndex += std::int64_t(copy) * sentences;
        expected.paragraphIndex += std::int64_t(copy) * paragraphs;
        expected.paragraphBreakAfter = expected.paragraphBreakAfter ||
                                       (i + 1 < all.size() && i % one.size() == one.size() - 1);
        ASSERT_EQ(all[i], expected) << "token " << i;
    }
}
