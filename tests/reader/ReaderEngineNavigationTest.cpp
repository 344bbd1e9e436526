#include "EngineFixture.h"

#include <cmath>
#include <limits>

using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

using NavigationTest = EngineFixture;

} // namespace

TEST_F(NavigationTest, StartListsMarkEachNewSentenceAndParagraph) {
    engine.load({word(0, 0), word(0, 0), word(1, 0), word(2, 1), word(2, 1), word(7, 4)});
    EXPECT_EQ(engine.sentenceStarts(), (std::vector<int>{0, 2, 3, 5}));
    EXPECT_EQ(engine.paragraphStarts(), (std::vector<int>{0, 3, 5}));
    engine.load({});
    EXPECT_TRUE(engine.sentenceStarts().empty());
}

TEST_F(NavigationTest, SentenceJumpsMoveToTheRightStart) {
    const auto tokens = withSentenceStarts({0, 5, 12}, 15);
    struct Case {
        int from;
        int direction;
        int to;
    };
    for (Case c : {Case{7, -1, 5}, Case{5, -1, 0}, Case{0, -1, 0}, Case{7, 1, 12}, Case{12, 1, 12},
                   Case{3, -1, 0}, Case{3, 1, 5}, Case{14, 1, 14}, Case{14, -1, 12}}) {
        engine.load(tokens);
        engine.seek((c.from + 0.5) / 15.0);
        ASSERT_EQ(engine.index(), c.from);
        engine.jumpSentence(c.direction);
        EXPECT_EQ(engine.index(), c.to) << c.from << " " << c.direction;
    }
}

TEST_F(NavigationTest, ParagraphJumpsUseTheParagraphList) {
    startReading({word(0, 0), word(1, 0), word(2, 1), word(3, 1), word(4, 2)});
    engine.jumpParagraph(1);
    EXPECT_EQ(engine.index(), 2);
    engine.jumpParagraph(1);
    EXPECT_EQ(engine.index(), 4);
    engine.jumpParagraph(-1);
    EXPECT_EQ(engine.index(), 2);
}

TEST_F(NavigationTest, JumpsOutsideTheListOrWithoutTokensDoNothing) {
    engine.jump({0, 1}, 1);
    EXPECT_EQ(engine.index(), 0);
    startReading(words(4));
    engine.jump({}, 1);
    EXPECT_EQ(engine.index(), 0);
    engine.jump({0, 40}, 1);
    EXPECT_EQ(engine.index(), 3);
    engine.jump({-9}, -1);
    EXPECT_EQ(engine.index(), 0);
}

TEST_F(NavigationTest, JumpOrSeekRestartsTheTokenWhileReading) {
    startReading(withSentenceStarts({0, 3}, 6));
    scheduler.advance(durationOf(0) / 2);
    engine.jumpSentence(1);
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_NEAR(timeToNextStep(), durationOf(3), 1e-9);
    scheduler.advance(durationOf(3) / 3);
    engine.seek(0.0);
    EXPECT_NEAR(timeToNextStep(), durationOf(0), 1e-9);
}

TEST_F(NavigationTest, JumpOrSeekAfterTheEndPauses) {
    startReading(withSentenceStarts({0, 3}, 6));
    scheduler.runAll();
    engine.jumpSentence(-1);
    EXPECT_EQ(engine.phase(), Phase::paused());
    EXPECT_EQ(engine.index(), 3);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    scheduler.runAll();
    engine.togglePause();
    scheduler.runAll();
    engine.seek(0.1);
    EXPECT_EQ(engine.phase(), Phase::paused());
    EXPECT_EQ(engine.index(), 0);
}

TEST_F(NavigationTest, DuringTheCountdownNavigationOnlyMovesTheIndex) {
    engine.load(withSentenceStarts({0, 3}, 6));
    scheduler.advance(0.1);
    engine.jumpSentence(1);
    engine.changeSpeed(-25);
    EXPECT_EQ(engine.phase(), Phase::countdown(3));
    EXPECT_EQ(engine.index(), 3);
    EXPECT_EQ(engine.wpm(), 375);
    EXPECT_NEAR(timeToNextStep(), 0.1, 1e-9);
    scheduler.advance(0.5 + justPast);
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_EQ(engine.index(), 3);
}

TEST_F(NavigationTest, SeekScalesTruncatesAndClamps) {
    engine.load(words(10));
    const struct {
        double fraction;
        int index;
    } cases[] = {{1.0, 9}, {0.55, 5},  {-0.2, 0},   {0.0999, 0},
                 {0.1, 1}, {1e300, 9}, {-1e300, 0}, {std::numeric_limits<double>::infinity(), 9}};
    for (auto c : cases) {
        engine.seek(c.fraction);
        EXPECT_EQ(engine.index(), c.index) << c.fraction;
    }
    engine.seek(0.5);
    engine.seek(std::nan(""));
    EXPECT_EQ(engine.index(), 5);
    engine.load({});
    engine.seek(0.5);
    EXPECT_EQ(engine.index(), 0);
}

TEST_F(NavigationTest, SpeedStaysWithinBoundsAndShowsTheOverlayEveryTime) {
    settings.setWpm(990);
    engine.load(words(3));
    engine.changeSpeed(25);
    EXPECT_EQ(engine.wpm(), 1000);
    scheduler.advance(1.0);
    EXPECT_FALSE(engine.wpmOverlayVisible());
    engine.changeSpeed(25);
    EXPECT_EQ(engine.wpm(), 1000);
    EXPECT_TRUE(engine.wpmOverlayVisible());

    settings.setWpm(110);
    engine.load(words(3));
    engine.changeSpeed(-25);
    EXPECT_EQ(engine.wpm(), 100);
    engine.changeSpeed(std::numeric_limits<int>::min());
    EXPECT_EQ(engine.wpm(), 100);
    engine.changeSpeed(std::numeric_limits<int>::max());
    EXPECT_EQ(engine.wpm(), 1000);
}

TEST_F(NavigationTest, OverlayHidesNineTenthsOfASecondAfterTheLastChange) {
    startReading(words(40));
    engine.changeSpeed(25);
    scheduler.advance(0.5);
    engine.changeSpeed(25);
    scheduler.advance(0.89);
    EXPECT_TRUE(engine.wpmOverlayVisible());
    scheduler.advance(0.02);
    EXPECT_FALSE(engine.wpmOverlayVisible());
}

TEST_F(NavigationTest, SpeedChangeRestartsTheCurrentTokenAtTheNewRate) {
    startReading(words(3));
    scheduler.advance(durationOf(0) / 2);
    engine.changeSpeed(200);
    EXPECT_EQ(engine.index(), 0);
    EXPECT_NEAR(timeToNextStep(), durationOf(0), 1e-9);
    EXPECT_DOUBLE_EQ(durationOf(0), 0.1);
    engine.togglePause();
    engine.changeSpeed(-100);
    EXPECT_EQ(engine.phase(), Phase::paused());
    EXPECT_FALSE(engine.playbackTimerActive());
}
