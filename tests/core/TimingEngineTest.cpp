#include "core/TimingEngine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace BlinkwitCore;

namespace {

Token word(std::string text) {
    return Token{.text = std::move(text)};
}

double at300(const Token& token) {
    return TimingEngine::duration(token, 300);
}

} // namespace

TEST(TimingEngine, BaseIntervalClampsSlowRates) {
    EXPECT_DOUBLE_EQ(TimingEngine::baseInterval(0), 60.0);
    EXPECT_DOUBLE_EQ(TimingEngine::baseInterval(-5), 60.0);
    EXPECT_DOUBLE_EQ(TimingEngine::baseInterval(1), 60.0);
    EXPECT_DOUBLE_EQ(TimingEngine::baseInterval(300), 0.2);
    EXPECT_DOUBLE_EQ(TimingEngine::baseInterval(600), 0.1);
}

TEST(TimingEngine, LengthFactorStepsAtTheThresholds) {
    const double b = 0.2;
    EXPECT_DOUBLE_EQ(at300(word("abcd")), 0.9 * b);
    EXPECT_DOUBLE_EQ(at300(word("abcde")), 1.0 * b);
    EXPECT_DOUBLE_EQ(at300(word(std::string(8, 'a'))), 1.0 * b);
    EXPECT_DOUBLE_EQ(at300(word(std::string(9, 'a'))), 1.3 * b);
    EXPECT_DOUBLE_EQ(at300(word(std::string(13, 'a'))), 1.3 * b);
    EXPECT_DOUBLE_EQ(at300(word(std::string(14, 'a'))), 2.0 * b);
    EXPECT_DOUBLE_EQ(at300(word(std::string(20, 'a'))), 2.6 * b);
    EXPECT_DOUBLE_EQ(at300(word(std::string(34, 'a'))), 4.0 * b);
    EXPECT_DOUBLE_EQ(at300(word(std::string(35, 'a'))), 4.0 * b);
    EXPECT_DOUBLE_EQ(at300(word(std::string(400, 'a'))), 4.0 * b);
    // Counted in user-perceived characters, not bytes: five accented letters are five.
    EXPECT_DOUBLE_EQ(at300(word("e\u0301e\u0301e\u0301e\u0301e\u0301")), 1.0 * b);
}

TEST(TimingEngine, DigitsRaiseShortWordsButNotLongOnes) {
    Token year = word("1984");
    year.containsDigits = true;
    EXPECT_DOUBLE_EQ(at300(year), 0.3);
    Token three = word("a1b");
    three.containsDigits = true;
    EXPECT_DOUBLE_EQ(at300(three), 1.5 * 0.2);
    Token sixteen = word(std::string(15, 'a') + "1");
    sixteen.containsDigits = true;
    EXPECT_DOUBLE_EQ(at300(sixteen), 2.2 * 0.2);
}

TEST(TimingEngine, PausesAddUpWithoutDoubleCounting) {
    EXPECT_DOUBLE_EQ(at300(word("the")), 0.18);
    EXPECT_DOUBLE_EQ(at300(word("reading")), 0.2);
    Token clause = word("characters,");
    clause.endsClause = true;
    EXPECT_NEAR(at300(clause), 0.56, 1e-12);
    Token both = word("done.");
    both.endsSentence = true;
    both.endsClause = true;
    EXPECT_DOUBLE_EQ(at300(both), 0.2 + 0.4);
    both.paragraphBreakAfter = true;
    EXPECT_NEAR(at300(both), 1.2, 1e-12);
}

TEST(TimingEngine, CodeBlocksDwellAFixedTime) {
    Token block{.text = "⟨code: 3 lines⟩", .kind = TokenKind::codeBlock(std::nullopt, 3)};
    block.endsSentence = true;
    block.containsDigits = true;
    for (int wpm : {1, 100, 300, 1000})
        EXPECT_DOUBLE_EQ(TimingEngine::duration(block, wpm), TimingEngine::codeBlockDwell);
    block.paragraphBreakAfter = true;
    EXPECT_NEAR(at300(block), 2.1, 1e-12);
}

TEST(TimingEngine, TotalIsTheSumOfTheSlice) {
    std::vector<Token> tokens = {word("one"), word("characters"), word("x")};
    tokens[1].endsSentence = true;
    EXPECT_DOUBLE_EQ(TimingEngine::totalDuration({}, 300), 0.0);
    double sum = 0.0;
    for (const Token& token : tokens)
        sum += at300(token);
    EXPECT_DOUBLE_EQ(TimingEngine::totalDuration(tokens, 300), sum);
    EXPECT_DOUBLE_EQ(TimingEngine::totalDuration(std::span(tokens).subspan(1, 1), 300),
                     at300(tokens[1]));
}
