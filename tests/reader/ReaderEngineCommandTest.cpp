#include "EngineFixture.h"

#include <cmath>
#include <functional>
#include <limits>
#include <tuple>

using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

using CommandTest = EngineFixture;
constexpr double infinity = std::numeric_limits<double>::infinity();

TEST_F(CommandTest, JumpsGoToTheStartsOfSentencesAndParagraphs) {
    engine.load({word("a", 0, 0), word("b", 0, 0), word("c", 1, 0), word("d", 2, 1),
                 word("e", 2, 1), word("f", 7, 4)});
    EXPECT_EQ(engine.sentenceStarts(), (std::vector<int>{0, 2, 3, 5}));
    EXPECT_EQ(engine.paragraphStarts(), (std::vector<int>{0, 3, 5}));
    engine.jumpParagraph(1);
    engine.jumpParagraph(1);
    EXPECT_EQ(engine.index(), 5);

    const Tokens tokens = words(15, 5);
    for (auto [from, direction, to] : {std::tuple{7, -1, 5},
                                       {5, -1, 0},
                                       {0, -1, 0},
                                       {7, 1, 10},
                                       {10, 1, 10},
                                       {3, -1, 0},
                                       {3, 1, 5},
                                       {14, -1, 10}}) {
        engine.load(tokens);
        engine.seek((from + 0.5) / 15.0);
        engine.jumpSentence(direction);
        EXPECT_EQ(engine.index(), to) << from << " " << direction;
    }
    engine.jump({}, 1);
    engine.jump({0, 40}, 1);
    EXPECT_EQ(engine.index(), 14);
    engine.jump({-9}, -1);
    EXPECT_EQ(engine.index(), 0);
}

TEST_F(CommandTest, JumpsAndSeeksRestartWhileReadingPauseWhenFinishedAndOnlyMoveOtherwise) {
    engine.load(words(6, 3));
    scheduler.advance(0.1);
    engine.jumpSentence(1);
    EXPECT_EQ(engine.phase(), Phase::countdown(3));
    EXPECT_NEAR(timeToNextStep(), 0.1, 1e-9);
    scheduler.advance(0.5 + justPast + durationOf(3) / 2);
    ASSERT_EQ(engine.index(), 3);
    engine.seek(0.0);
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_NEAR(timeToNextStep(), durationOf(0), 1e-9);
    scheduler.runAll();
    engine.jumpSentence(-1);
    EXPECT_EQ(engine.phase(), Phase::paused());
    EXPECT_EQ(engine.index(), 3);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(CommandTest, SeekScalesTruncatesAndClamps) {
    engine.seek(0.5);
    engine.load(words(10));
    for (auto [fraction, index] : {std::pair{1.0, 9},
                                   {0.55, 5},
                                   {-0.2, 0},
                                   {0.0999, 0},
                                   {1e300, 9},
                                   {-infinity, 0},
                                   {infinity, 9},
                                   {std::nan(""), 9}}) {
        engine.seek(fraction);
        EXPECT_EQ(engine.index(), index) << fraction;
    }
}

TEST_F(CommandTest, SpeedStaysInBoundsRestartsTheTokenAndShowsTheOverlay) {
    settings.setWpm(990);
    loadAndStart(words(40));
    scheduler.advance(0.05);
    for (auto [delta, wpm] : {std::pair{25, 1000},
                              {25, 1000},
                              {-900, 100},
                              {-25, 100},
                              {std::numeric_limits<int>::min(), 100},
                              {std::numeric_limits<int>::max(), 1000}}) {
        engine.changeSpeed(delta);
        EXPECT_EQ(engine.wpm(), wpm);
    }
    EXPECT_EQ(engine.index(), 0);
    EXPECT_NEAR(timeToNextStep(), 0.06, 1e-9); // the first word again, in full at 1000
    scheduler.advance(0.5);
    engine.changeSpeed(-25);
    scheduler.advance(0.89);
    EXPECT_TRUE(engine.wpmOverlayVisible());
    scheduler.advance(0.02);
    EXPECT_FALSE(engine.wpmOverlayVisible());
}

TEST_F(CommandTest, CodeBlockExpandsOnlyOnACodeBlockWhileReadingOrPaused) {
    engine.load({word(), codeBlock(1)});
    EXPECT_FALSE(engine.toggleCodeExpansion());
    scheduler.advance(0.6 + justPast);
    EXPECT_FALSE(engine.toggleCodeExpansion()); // Return on a word is passed on
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_FALSE(engine.collapseIfExpanded());
    scheduler.advance(durationOf(0) + 1.0);
    EXPECT_TRUE(engine.toggleCodeExpansion());
    EXPECT_EQ(engine.phase(), Phase::paused());
    EXPECT_TRUE(engine.expandedCodeVisible());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    EXPECT_TRUE(engine.toggleCodeExpansion());
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_NEAR(timeToNextStep(), 1.5, 1e-9);
    scheduler.runAll();
    EXPECT_FALSE(engine.toggleCodeExpansion()); // finished
}

TEST_F(CommandTest, EverythingThatMovesOnCollapsesTheCode) {
    const Tokens tokens{codeBlock(0), word("w", 1), codeBlock(2)};
    const std::vector<std::function<void()>> movers{
        [&] { EXPECT_TRUE(engine.collapseIfExpanded()); },
        [&] { engine.togglePause(); },
        [&] { engine.jumpSentence(1); },
        [&] { engine.seek(0.9); },
        [&] { engine.dismiss(); },
        [&] { engine.load(tokens); }};
    for (const auto& move : movers) {
        loadAndStart(tokens);
        ASSERT_TRUE(engine.toggleCodeExpansion());
        move();
        EXPECT_FALSE(engine.expandedCodeVisible());
    }
}

} // namespace
