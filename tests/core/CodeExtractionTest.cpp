#include "TextTestSupport.h"
#include "core/Pipeline.h"

#include <gtest/gtest.h>

using BlinkwitCore::Pipeline;
using BlinkwitCore::Token;
using BlinkwitCore::TokenKind;
using Mode = BlinkwitCore::TextPreprocessor::CodeBlockMode;
using namespace TextTestSupport;

namespace {

const std::string ph = "\xee\x80\x80"; // U+E000

std::string numbered(int count) {
    std::string lines;
    for (int i = 1; i <= count; ++i)
        lines += (i > 1 ? "\n" : "") + std::string("line ") + std::to_string(i);
    return lines;
}

} // namespace

TEST(FencedCodeBlocks, PlaceholderLabelsLanguageAndLineCount) {
    Pipeline pipeline({});
    const std::string body = numbered(12);
    EXPECT_EQ(u8(pipeline.extractFencedCodeBlocks(u16("a\n```python\n" + body + "\n```\nb"))),
              "a\n\n" + ph + "0" + ph + "\n\nb");
    ASSERT_EQ(pipeline.stash().size(), 1u);
    const Token& block = pipeline.stash()[0];
    EXPECT_EQ(block.text, "\xe2\x9f\xa8"
                          "code: python, 12 lines\xe2\x9f\xa9");
    EXPECT_EQ(block.kind, TokenKind::codeBlock("python", 12));
    EXPECT_EQ(block.codeContent, body);

    pipeline.extractFencedCodeBlocks(u16("```\nonly\n```"));
    pipeline.extractFencedCodeBlocks(u16("```js extra words\n```"));
    EXPECT_EQ(pipeline.stash()[1].text, "\xe2\x9f\xa8"
                                        "code: 1 line\xe2\x9f\xa9");
    EXPECT_EQ(pipeline.stash()[1].kind, TokenKind::codeBlock(std::nullopt, 1));
    EXPECT_EQ(pipeline.stash()[2].text, "\xe2\x9f\xa8"
                                        "code: js, 0 lines\xe2\x9f\xa9");
    EXPECT_EQ(pipeline.stash()[2].codeContent, "");
}

TEST(FencedCodeBlocks, ReadWordsAndSkipLeaveParagraphBreaks) {
    Pipeline reading({.codeBlockMode = Mode::readWords});
    EXPECT_EQ(u8(reading.extractFencedCodeBlocks(u16("a\n```\nx y\n```\nb"))), "a\n\n\nx y\n\n\nb");
    Pipeline skipping({.codeBlockMode = Mode::skip});
    EXPECT_EQ(u8(skipping.extractFencedCodeBlocks(u16("a\n```\nx y\n```\nb"))), "a\n\n\n\nb");
    EXPECT_TRUE(reading.stash().empty());
    EXPECT_TRUE(skipping.stash().empty());
}

TEST(FencedCodeBlocks, FencesPairUpLikeTheLazyPattern) {
    Pipeline pipeline({.codeBlockMode = Mode::skip});
    const auto run = [&](const std::string& text) {
        return u8(pipeline.extractFencedCodeBlocks(u16(text)));
    };
    // Unclosed: the fence line is blanked, the rest stays text.
    EXPECT_EQ(run("a\n```python\nprint(1)\nb"), "a\n\nprint(1)\nb");
    // A closing fence must be bare; "```js" cannot close, so the next bare fence does.
    EXPECT_EQ(run("```\nx\n```js\ny\n```\nz"), "\n\n\nz");
    // Indented fences and trailing spaces on the closing fence.
    EXPECT_EQ(run("  ```\nx\n   ```   \nz"), "\n\n\nz");
    // Four backticks open a block without a language, but do not close one.
    EXPECT_EQ(run("````\nx\n````\n```\nz"), "\n\n\nz");
    // A blank first body line: the lazy body is empty and absorbs nothing.
    Pipeline collapsing({});
    collapsing.extractFencedCodeBlocks(u16("```\n\n```"));
    EXPECT_EQ(collapsing.stash().at(0).codeContent, "");
    // A line separator ends a line for ^ and $, but only a line feed ends the opening line.
    collapsing.extractFencedCodeBlocks(u16("```\nx\xe2\x80\xa8```"));
    EXPECT_EQ(collapsing.stash().at(1).codeContent, "x\xe2\x80\xa8");
}

TEST(FencedCodeBlocks, FiveMebibyteBodyStaysOneToken) {
    std::string body;
    body.reserve(5u << 20);
    while (body.size() < (5u << 20))
        body += "int value = compute(argument); // a line of code\n";
    body.pop_back();
    const auto tokens = tokensOf("Intro.\n\n```cpp\n" + body + "\n```\n\nOutro.");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_TRUE(tokens[1].isCodeBlock());
    EXPECT_EQ(tokens[1].codeContent, body);
    EXPECT_EQ(tokens[2].text, "Outro.");
}

TEST(InlineExtraction, CodeSpansBecomeOneTokenEach) {
    Pipeline pipeline({});
    EXPECT_EQ(u8(pipeline.extractInline(u16("Run `make all` now, `a*b*c`"))),
              "Run " + ph + "0" + ph + " now, " + ph + "1" + ph);
    EXPECT_EQ(pipeline.stash()[0].text, "make all");
    EXPECT_EQ(pipeline.stash()[0].kind, TokenKind::code());
    EXPECT_FALSE(pipeline.stash()[0].codeContent.has_value());
    EXPECT_EQ(pipeline.stash()[1].text, "a*b*c");
    // Empty spans and spans across a line end do not match.
    EXPECT_EQ(u8(pipeline.extractInline(u16("``\n`a\nb`"))), "``\n`a\nb`");
}

TEST(InlineExtraction, ImagesAndLinksKeepTheirText) {
    Pipeline pipeline({});
    EXPECT_EQ(u8(pipeline.extractInline(u16("![diagram](d.png) ![](e.png) [the guide](g.html)"))),
              "diagram  the guide");
    EXPECT_TRUE(pipeline.stash().empty());
}

TEST(InlineExtraction, AddressesShowTheirHost) {
    Pipeline pipeline({});
    EXPECT_EQ(u8(pipeline.extractInline(
                  u16("See https://www.example.com/docs?page=1 for details, HTTP://Host.org."))),
              "See " + ph + "0" + ph + " for details, " + ph + "1" + ph);
    EXPECT_EQ(pipeline.stash()[0].text, "\xe2\x9f\xa8"
                                        "example.com\xe2\x9f\xa9");
    EXPECT_EQ(pipeline.stash()[0].kind, TokenKind::url());
    // Without a path the trailing period stays inside the brackets.
    EXPECT_EQ(pipeline.stash()[1].text, "\xe2\x9f\xa8Host.org.\xe2\x9f\xa9");
    EXPECT_EQ(u8(pipeline.extractInline(u16("(http://a.io:8080/x) ftp://no shttp://no"))),
              "(" + ph + "2" + ph + ") ftp://no shttp://no");
    EXPECT_EQ(pipeline.stash()[2].text, "\xe2\x9f\xa8"
                                        "a.io\xe2\x9f\xa9");
    // Case folding: the long s matches s.
    pipeline.extractInline(u16("httpſ://x.org"));
    EXPECT_EQ(pipeline.stash().size(), 4u);
}

TEST(InlineExtraction, AListItemsSentenceMarkStaysOutsideAnAddress) {
    const auto tokens = tokensOf("- see https://example.com\n- next");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[1].text, "\xe2\x9f\xa8"
                              "example.com\xe2\x9f\xa9");
    EXPECT_TRUE(tokens[1].endsSentence);
}
