// What the front ends draw of a sentence and of a word is bounded by the screen, not by the text.
#include "reader/SentenceWindow.h"

#include "core/ORP.h"
#include "core/TokenList.h"
#include "reader/VisibleWord.h"

#include <gtest/gtest.h>

using namespace Blinkwit;
using BlinkwitCore::Token;
using BlinkwitCore::TokenList;

namespace {

// count words "w0" ... in one sentence.
TokenList sentence(int count) {
    TokenList tokens;
    for (int i = 0; i < count; ++i)
        tokens.push_back(Token{.text = "w" + std::to_string(i)});
    return tokens;
}

} // namespace

TEST(SentenceWindow, AShortSentenceWholeALongOneAroundTheWord) {
    const TokenList fox{{.text = "The"}, {.text = "quick"}, {.text = "fox."}};
    EXPECT_EQ(SentenceWindow::around(fox, 0, 3, 1), "The quick fox.");

    const TokenList words = sentence(100000);
    const std::string middle = SentenceWindow::around(words, 0, words.size(), 50000);
    EXPECT_TRUE(middle.starts_with("\u2026 w"));
    EXPECT_TRUE(middle.ends_with(" \u2026"));
    EXPECT_LT(middle.find(" w50000 "), SentenceWindow::before + 8);
    EXPECT_LT(middle.size(), SentenceWindow::before + SentenceWindow::after + 16);
    EXPECT_TRUE(SentenceWindow::around(words, 0, words.size(), 0).starts_with("w0 w1 "));
    EXPECT_TRUE(SentenceWindow::around(words, 0, words.size(), 99999).ends_with(" w99999"));
}

TEST(SentenceWindow, AWordLongerThanAnyScreenIsCut) {
    const std::string blob(10 << 20, 'x');
    const TokenList one{{.text = "a"}, {.text = blob}, {.text = "b"}};
    EXPECT_EQ(SentenceWindow::around(one, 0, 3, 1),
              "a " + std::string(SentenceWindow::after, 'x') + "\u2026");
    EXPECT_EQ(SentenceWindow::around(one, 0, 3, 2), "\u2026 b") << "the blob never fits before";

    const Token shown = VisibleWord::of(Token{.text = "\xc3\xa9" + blob, .endsSentence = true});
    EXPECT_EQ(shown.text, "\xc3\xa9" + std::string(VisibleWord::longest - 1, 'x') + "\u2026");
    EXPECT_TRUE(shown.endsSentence);
    EXPECT_EQ(BlinkwitCore::ORP::index(shown.text), BlinkwitCore::ORP::index(blob));
    const Token word{.text = "wonderful", .kind = BlinkwitCore::TokenKind::code()};
    EXPECT_EQ(VisibleWord::of(word), word);
}
