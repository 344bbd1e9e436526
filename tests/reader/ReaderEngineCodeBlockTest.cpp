#include "EngineFixture.h"

using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

using CodeBlockTest = EngineFixture;

} // namespace

TEST_F(CodeBlockTest, ReturnOnAWordIsNotConsumedAndPlaybackGoesOn) {
    startReading({word(), codeBlock(1)});
    scheduler.advance(0.05);
    EXPECT_FALSE(engine.toggleCodeExpansion());
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_NEAR(timeToNextStep(), durationOf(0) - 0.05, 1e-9);
    EXPECT_FALSE(engine.collapseIfExpanded());
}

TEST_F(CodeBlockTest, ReturnOnACodeBlockPausesAndExpandsThenCollapsesAndResumes) {
    startReading({codeBlock(0), word(1)});
    scheduler.advance(1.0);
    EXPECT_TRUE(engine.toggleCodeExpansion());
    EXPECT_EQ(engine.phase(), Phase::paused());
    EXPECT_TRUE(engine.expandedCodeVisible());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    scheduler.advance(30.0);
    EXPECT_TRUE(engine.toggleCodeExpansion());
    EXPECT_FALSE(engine.expandedCodeVisible());
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_NEAR(timeToNextStep(), 1.5, 1e-9);
}

TEST_F(CodeBlockTest, EscapeCollapsesFirstAndResumes) {
    startReading({codeBlock(0), word(1)});
    engine.togglePause();
    EXPECT_TRUE(engine.toggleCodeExpansion());
    EXPECT_TRUE(engine.collapseIfExpanded());
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_FALSE(engine.collapseIfExpanded());
}

TEST_F(CodeBlockTest, ExpansionOnlyWhileReadingOrPaused) {
    engine.load({codeBlock(0)});
    EXPECT_FALSE(engine.toggleCodeExpansion());
    EXPECT_EQ(engine.phase(), Phase::countdown(3));
    scheduler.runAll();
    ASSERT_EQ(engine.phase(), Phase::finished());
    EXPECT_FALSE(engine.toggleCodeExpansion());
    engine.dismiss();
    EXPECT_FALSE(engine.toggleCodeExpansion());
    EXPECT_FALSE(engine.expandedCodeVisible());
}

TEST_F(CodeBlockTest, MovingAwayOrClosingCollapses) {
    startReading({codeBlock(0), word(1), codeBlock(2)});
    engine.toggleCodeExpansion();
    engine.jumpSentence(1);
    EXPECT_FALSE(engine.expandedCodeVisible());
    EXPECT_EQ(engine.phase(), Phase::paused());

    engine.seek(0.9);
    engine.toggleCodeExpansion();
    engine.seek(0.0);
    EXPECT_FALSE(engine.expandedCodeVisible());

    engine.toggleCodeExpansion();
    engine.dismiss();
    EXPECT_FALSE(engine.expandedCodeVisible());

    engine.load({codeBlock(0)});
    scheduler.advance(0.6 + justPast);
    engine.toggleCodeExpansion();
    engine.load({codeBlock(0)});
    EXPECT_FALSE(engine.expandedCodeVisible());
}

// Resuming with Space reads on; the code view must not stay open over the following words.
TEST_F(CodeBlockTest, ResumingWithPauseAlsoCollapses) {
    startReading({codeBlock(0), word(1)});
    engine.toggleCodeExpansion();
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_FALSE(engine.expandedCodeVisible());
    EXPECT_NEAR(timeToNextStep(), 1.5, 1e-9);
}
