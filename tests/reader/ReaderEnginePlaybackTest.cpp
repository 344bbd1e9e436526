#include "EngineFixture.h"
#include "platform/QtScheduler.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <vector>

using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

using PlaybackTest = EngineFixture;

// Fires every timer a fixed time after its deadline, as a busy event loop would.
class LateScheduler final : public Scheduler {
public:
    double now() const override { return inner.now(); }
    TimerId scheduleAt(double deadline, std::function<void()> task) override {
        return inner.scheduleAt(deadline + lateness, std::move(task));
    }
    void cancel(TimerId id) override { inner.cancel(id); }

    ManualScheduler inner;
    double lateness = 0.0;
};

} // namespace

TEST_F(PlaybackTest, EmptyTextIsEmptyAtOnceWithoutCountdown) {
    engine.load({});
    EXPECT_EQ(engine.phase(), Phase::empty());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    EXPECT_EQ(engine.current(), nullptr);
    EXPECT_DOUBLE_EQ(engine.progress(), 0.0);
    EXPECT_EQ(engine.remainingLabel(), QString());
    EXPECT_EQ(engine.currentSentenceText(), QString());
}

TEST_F(PlaybackTest, CountsDownThreeStepsOfAFifthThenReadsToTheEnd) {
    std::vector<Phase> phases;
    QObject::connect(&engine, &ReaderEngine::phaseChanged,
                     [&](Phase phase) { phases.push_back(phase); });
    engine.load({word()});
    for (int number = 3; number >= 1; --number) {
        EXPECT_EQ(engine.phase(), Phase::countdown(number));
        EXPECT_NEAR(scheduler.nextDeadline(), 0.2 * (4 - number), 1e-12);
        scheduler.advance(0.19);
        EXPECT_EQ(engine.phase(), Phase::countdown(number));
        scheduler.advance(0.01 + justPast);
    }
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_NEAR(scheduler.now(), 0.6, 1e-8);
    EXPECT_DOUBLE_EQ(engine.progress(), 1.0);
    EXPECT_NEAR(timeToNextStep(), durationOf(0), 1e-8);

    scheduler.advance(durationOf(0));
    EXPECT_EQ(engine.phase(), Phase::finished());
    EXPECT_EQ(engine.index(), 0);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    EXPECT_EQ(phases,
              (std::vector<Phase>{Phase::countdown(3), Phase::countdown(2), Phase::countdown(1),
                                  Phase::reading(), Phase::finished()}));
}

TEST_F(PlaybackTest, EachTokenAppearsWhenThePreviousOnesTimeIsUp) {
    std::vector<BlinkwitCore::Token> tokens{word(0, 0, "a"), word(0, 0, "extraordinary,"),
                                            codeBlock(1, 0), word(2, 1, "2024")};
    tokens[1].endsClause = true;
    tokens[3].containsDigits = true;
    std::vector<double> onsets;
    QObject::connect(&engine, &ReaderEngine::indexChanged,
                     [&](int) { onsets.push_back(scheduler.now()); });
    engine.load(tokens);
    scheduler.runAll();
    ASSERT_EQ(onsets.size(), 3u);
    double expected = 0.6;
    for (int i = 0; i < 3; ++i) {
        expected += BlinkwitCore::TimingEngine::duration(tokens[std::size_t(i)], 400);
        EXPECT_NEAR(onsets[std::size_t(i)], expected, 1e-9) << i;
    }
    EXPECT_EQ(engine.phase(), Phase::finished());
}

TEST_F(PlaybackTest, LateTimersDoNotAddUpOverAText) {
    LateScheduler late;
    late.lateness = 0.004;
    ReaderEngine lateEngine(settings, late);
    const auto tokens = words(200);
    std::vector<double> onsets;
    QObject::connect(&lateEngine, &ReaderEngine::indexChanged,
                     [&](int) { onsets.push_back(late.now()); });
    lateEngine.load(tokens);
    late.inner.runAll();
    ASSERT_EQ(onsets.size(), 199u);
    const double each = BlinkwitCore::TimingEngine::duration(tokens[0], 400);
    // Every onset is late by one timer's lateness, not by the sum of all before it.
    EXPECT_NEAR(onsets.back(), 0.6 + 199 * each + 0.004, 1e-6);
}

TEST_F(PlaybackTest, AfterAStallTheNextTokenStillGetsItsFullTime) {
    LateScheduler late;
    ReaderEngine lateEngine(settings, late);
    lateEngine.load(words(3));
    late.inner.advance(0.6 + justPast);
    late.lateness = 10.0;
    lateEngine.togglePause();
    lateEngine.togglePause();
    late.lateness = 0.0;
    late.inner.advance(10.15);
    ASSERT_EQ(lateEngine.index(), 1);
    EXPECT_NEAR(late.inner.nextDeadline() - late.now(), 0.15, 1e-9);
}

TEST_F(PlaybackTest, PauseStopsTheClockAndResumeShowsTheTokenAgainInFull) {
    startReading(words(3));
    scheduler.advance(durationOf(0) / 2);
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::paused());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    scheduler.advance(100.0);
    EXPECT_EQ(engine.index(), 0);
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_NEAR(timeToNextStep(), durationOf(0), 1e-9);
}

TEST_F(PlaybackTest, PauseIsIgnoredWhereNothingPlays) {
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::idle());
    engine.load({});
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::empty());
    engine.load(words(2));
    scheduler.advance(0.1);
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::countdown(3));
    scheduler.advance(0.1);
    EXPECT_EQ(engine.phase(), Phase::countdown(2));
}

TEST_F(PlaybackTest, PauseAfterTheEndReplaysFromTheStartAtOnce) {
    startReading(words(2));
    scheduler.runAll();
    ASSERT_EQ(engine.phase(), Phase::finished());
    ASSERT_EQ(engine.index(), 1);
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_EQ(engine.index(), 0);
    EXPECT_NEAR(timeToNextStep(), durationOf(0), 1e-9);
}

TEST_F(PlaybackTest, ANewLoadRestartsFromAnyPhaseWithOneTimer) {
    startReading(words(5));
    scheduler.advance(durationOf(0));
    engine.changeSpeed(100);
    engine.load(words(2));
    EXPECT_EQ(engine.phase(), Phase::countdown(3));
    EXPECT_EQ(engine.index(), 0);
    EXPECT_EQ(engine.wpm(), 400);
    EXPECT_EQ(scheduler.pendingCount(), 2u); // countdown step and overlay
    EXPECT_NEAR(timeToNextStep(), 0.2, 1e-9);
}

TEST_F(PlaybackTest, DismissStopsEverythingButKeepsTheText) {
    engine.load(words(4));
    scheduler.advance(0.3);
    engine.changeSpeed(25);
    engine.jumpSentence(1);
    engine.dismiss();
    EXPECT_EQ(engine.phase(), Phase::idle());
    EXPECT_FALSE(engine.playbackTimerActive());
    EXPECT_EQ(engine.tokens().size(), 4u);
    EXPECT_EQ(engine.wpm(), 425);
    EXPECT_TRUE(engine.wpmOverlayVisible());
    scheduler.runAll();
    EXPECT_EQ(engine.phase(), Phase::idle());
    EXPECT_FALSE(engine.wpmOverlayVisible());
}

TEST_F(PlaybackTest, TheRateComesFromTheSettingsAtEachLoadWithinBounds) {
    settings.setWpm(600);
    startReading(words(3));
    EXPECT_EQ(engine.wpm(), 600);
    settings.setWpm(300);
    EXPECT_EQ(engine.wpm(), 600);
    engine.changeSpeed(25);
    EXPECT_EQ(settings.wpm(), 300);
    engine.load(words(1));
    EXPECT_EQ(engine.wpm(), 300);
    settings.setWpm(5000);
    engine.load(words(1));
    EXPECT_EQ(engine.wpm(), 1000);
    settings.setWpm(-3);
    engine.load(words(1));
    EXPECT_EQ(engine.wpm(), 100);
}

TEST_F(PlaybackTest, DerivedValuesFollowTheIndexAndTheRate) {
    auto tokens = withSentenceStarts({0, 2}, 5);
    startReading(tokens);
    EXPECT_EQ(engine.currentSentenceText(), QStringLiteral("word0 word1"));
    engine.seek(0.5);
    EXPECT_EQ(engine.currentSentenceText(), QStringLiteral("word2 word3 word4"));
    EXPECT_DOUBLE_EQ(engine.progress(), 0.5);

    std::vector<BlinkwitCore::Token> blocks(50, codeBlock());
    engine.load(blocks);
    EXPECT_EQ(engine.remainingLabel(), QStringLiteral("1:15 left"));
    engine.seek(0.99);
    EXPECT_EQ(engine.remainingLabel(), QStringLiteral("0:02 left")); // 1.5 s rounds up

    settings.setWpm(480);
    engine.load(words(60)); // 60 × 0.125 s = 7.5 s
    EXPECT_EQ(engine.remainingLabel(), QStringLiteral("0:08 left"));
    engine.changeSpeed(480);
    EXPECT_EQ(engine.remainingLabel(), QStringLiteral("0:04 left"));
}

TEST_F(PlaybackTest, ObserversHearBeforeAndAfterEachChange) {
    std::vector<int> before;
    std::vector<int> after;
    QObject::connect(&engine, &ReaderEngine::aboutToChange,
                     [&] { before.push_back(engine.index()); });
    QObject::connect(&engine, &ReaderEngine::indexChanged,
                     [&](int index) { after.push_back(index); });
    startReading(words(3));
    before.clear();
    engine.seek(0.7);
    EXPECT_EQ(before, std::vector<int>{0});
    EXPECT_EQ(after, std::vector<int>{2});
}

TEST_F(PlaybackTest, AnObserverThatDismissesMidStepIsObeyed) {
    QObject::connect(&engine, &ReaderEngine::phaseChanged, [&](Phase phase) {
        if (phase == Phase::reading())
            engine.dismiss();
    });
    engine.load(words(3));
    scheduler.advance(0.6 + justPast);
    EXPECT_EQ(engine.phase(), Phase::idle());
    EXPECT_FALSE(engine.playbackTimerActive());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(PlaybackTest, TimersDieWithTheEngine) {
    {
        ReaderEngine shortLived(settings, scheduler);
        shortLived.load(words(3));
        shortLived.changeSpeed(25);
    }
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST(ReaderEngineOnQt, PlaysToTheEndOnTheRealEventLoop) {
    int argc = 1;
    char name[] = "reader_tests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    InMemoryDefaultsStore store;
    AppSettings settings(store);
    settings.setWpm(1000);
    QtScheduler scheduler;
    ReaderEngine engine(settings, scheduler);
    QEventLoop loop;
    QObject::connect(&engine, &ReaderEngine::phaseChanged, [&](Phase phase) {
        if (phase == Phase::finished())
            loop.quit();
    });
    // Only a guard against hanging; the result does not depend on how long it took.
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    engine.load(words(5));
    loop.exec();
    EXPECT_EQ(engine.phase(), Phase::finished());
    EXPECT_EQ(engine.index(), 4);
}
