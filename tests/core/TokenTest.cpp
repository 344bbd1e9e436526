#include "core/Token.h"

#include <gtest/gtest.h>

using namespace BlinkwitCore;

TEST(TokenKind, CodeBlocksCompareTheirLanguageAndLineCount) {
    EXPECT_EQ(TokenKind::codeBlock("python", 3), TokenKind::codeBlock("python", 3));
    EXPECT_NE(TokenKind::codeBlock("python", 3), TokenKind::codeBlock(std::nullopt, 3));
    EXPECT_NE(TokenKind::codeBlock("python", 3), TokenKind::codeBlock("python", 4));
    EXPECT_EQ(TokenKind::codeBlock(std::nullopt, 0), TokenKind::codeBlock(std::nullopt, 0));
    EXPECT_NE(TokenKind::word(), TokenKind::code());
    EXPECT_NE(TokenKind::url(), TokenKind::codeBlock(std::nullopt, 0));
}

TEST(TokenKind, CopiesAndAssignmentsCarryTheCodeBlockPayloadWhole) {
    const TokenKind block = TokenKind::codeBlock("rust", 7);
    TokenKind copy = block;
    EXPECT_EQ(copy, block);
    EXPECT_EQ(copy.language(), "rust");
    EXPECT_EQ(copy.lineCount(), 7);

    TokenKind moved = std::move(copy);
    EXPECT_EQ(moved, block);
    copy = moved; // a moved-from kind takes a new value
    EXPECT_EQ(copy, block);

    moved = TokenKind::word();
    EXPECT_EQ(moved, TokenKind::word());
    EXPECT_EQ(moved.language(), std::nullopt);
    EXPECT_EQ(moved.lineCount(), 0);
    EXPECT_EQ(block.language(), "rust") << "the original is shared with no copy";

    TokenKind& alias = copy;
    copy = alias;
    EXPECT_EQ(copy, block);
    for (const TokenKind& kind : {TokenKind::word(), TokenKind::code(), TokenKind::url()}) {
        EXPECT_EQ(kind.language(), std::nullopt);
        EXPECT_EQ(kind.lineCount(), 0);
    }
}

TEST(Token, DerivedPropertiesFollowTheKind) {
    Token word{.text = "hello"};
    EXPECT_FALSE(word.codeContent.has_value());
    EXPECT_FALSE(word.isMonospace());
    EXPECT_FALSE(word.isCodeBlock());

    for (const TokenKind& kind : {TokenKind::code(), TokenKind::url()}) {
        Token token{.text = "x", .kind = kind};
        EXPECT_TRUE(token.isMonospace());
        EXPECT_FALSE(token.isCodeBlock());
    }
    Token withLanguage{.text = "x", .kind = TokenKind::codeBlock("c", 1)};
    Token withoutLanguage{.text = "x", .kind = TokenKind::codeBlock(std::nullopt, 1)};
    EXPECT_TRUE(withLanguage.isCodeBlock() && withLanguage.isMonospace());
    EXPECT_TRUE(withoutLanguage.isCodeBlock());
}

TEST(Token, EqualityCoversEveryField) {
    const Token base{.text = "a", .sentenceIndex = 1, .paragraphIndex = 1};
    Token other = base;
    EXPECT_EQ(base, other);
    other.codeContent = "";
    EXPECT_NE(base, other);
    other = base;
    other.containsDigits = true;
    EXPECT_NE(base, other);
    other = base;
    other.paragraphIndex = 2;
    EXPECT_NE(base, other);
}
