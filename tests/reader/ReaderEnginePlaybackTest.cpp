#include "EngineFixture.h"
using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

using PlaybackTest = EngineFixture;

// Fires every timer a set time after its deadline, as a busy event loop would.
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

TEST_F(PlaybackTest, CountsDownInFifthsThenEachTokenFollowsThePreviousOnesTime) {
    std::vector<Phase> phases;
    std::vector<double> onsets;
    QObject::connect(&engine, &ReaderEngine::phaseChanged, [&](Phase p) { phases.push_back(p); });
    QObject::connect(&engine, &ReaderEngine::indexChanged,
                     [&](int) { onsets.push_back(scheduler.now()); });
    Tokens tokens{word(), codeBlock(), word("w", 1)};
    tokens[0].containsDigits = true;
    engine.load(tokens);
    for (int number = 3; number >= 1; --number) {
        EXPECT_NEAR(scheduler.nextDeadline(), 0.2 * (4 - number), 1e-12);
        scheduler.advance(0.19);
        EXPECT_EQ(engine.phase(), Phase::countdown(number));
        scheduler.advance(0.01 + justPast);
    }
    scheduler.runAll();
    EXPECT_EQ(phases,
              (std::vector<Phase>{Phase::countdown(3), Phase::countdown(2), Phase::countdown(1),
                                  Phase::reading(), Phase::finished()}));
    ASSERT_EQ(onsets.size(), 2u);
    EXPECT_NEAR(onsets[0], 0.6 + 0.15 * 1.5, 1e-9);
    EXPECT_NEAR(onsets[1], onsets[0] + 1.5, 1e-9);
    EXPECT_NEAR(scheduler.now(), onsets[1] + durationOf(2), 1e-9);
    EXPECT_EQ(engine.index(), 2);
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

TEST_F(PlaybackTest, LateTimersDoNotAddUpButAStallDoesNotSkipTokens) {
    LateScheduler late;
    late.lateness = 0.004;
    ReaderEngine lateEngine(settings, late);
    std::vector<double> onsets;
    QObject::connect(&lateEngine, &ReaderEngine::indexChanged,
                     [&](int) { onsets.push_back(late.now()); });
    lateEngine.load(words(200));
    late.inner.runAll();
    ASSERT_EQ(onsets.size(), 199u);
    EXPECT_NEAR(onsets.back(), 0.6 + 199 * 0.15 + 0.004, 1e-6);

    late.lateness = 0.0;
    lateEngine.load(words(3));
    late.inner.advance(0.6 + justPast);
    lateEngine.togglePause();
    late.lateness = 10.0;
    lateEngine.togglePause();
    late.lateness = 0.0;
    late.inner.advance(10.15);
    ASSERT_EQ(lateEngine.index(), 1);
    EXPECT_NEAR(late.inner.nextDeadline() - late.now(), 0.15, 1e-9);
}

TEST_F(PlaybackTest, PauseResumeAndReplay) {
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::idle());
    engine.load(words(2));
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::countdown(3));
    scheduler.advance(0.6 + durationOf(0) / 2);
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::paused());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    scheduler.advance(100.0);
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_NEAR(timeToNextStep(), durationOf(0), 1e-9); // shown again in full
    scheduler.runAll();
    ASSERT_EQ(engine.phase(), Phase::finished());
    engine.togglePause();
    EXPECT_EQ(engine.phase(), Phase::reading());
    EXPECT_EQ(engine.index(), 0);
}

TEST_F(PlaybackTest, LoadRestartsAndDismissStopsFromAnyPhase) {
    loadAndStart(words(5));
    engine.changeSpeed(100);
    engine.load({});
    EXPECT_EQ(engine.phase(), Phase::empty());
    EXPECT_EQ(scheduler.pendingCount(), 1u) << "only the overlay";
    engine.load(words(2));
    EXPECT_EQ(engine.phase(), Phase::countdown(3));
    EXPECT_EQ(engine.wpm(), 400);
    engine.dismiss();
    EXPECT_EQ(engine.phase(), Phase::idle());
    EXPECT_EQ(engine.tokens().size(), 2u);
    EXPECT_TRUE(engine.wpmOverlayVisible());
    scheduler.runAll();
    EXPECT_EQ(engine.phase(), Phase::idle());
    EXPECT_FALSE(engine.wpmOverlayVisible());
}

TEST_F(PlaybackTest, RateComesFromTheSettingsAtLoadOnlyAndWithinBounds) {
    settings.setWpm(600);
    loadAndStart(words(3));
    settings.setWpm(300);
    EXPECT_EQ(engine.wpm(), 600);
    engine.changeSpeed(25);
    EXPECT_EQ(settings.wpm(), 300);
    for (auto [stored, loaded] : {std::pair{300, 300}, {5000, 1000}, {-3, 100}}) {
        settings.setWpm(stored);
        engine.load(words(1));
        EXPECT_EQ(engine.wpm(), loaded);
    }
}

TEST_F(PlaybackTest, PreparingDropsTheOldTextIgnoresKeysAndEndsWithLoadOrDismiss) {
    loadAndStart(words(5, 5));
    engine.changeSpeed(25);
    engine.prepare();
    EXPECT_EQ(engine.phase(), Phase::preparing());
    EXPECT_TRUE(engine.tokens().empty());
    EXPECT_EQ(engine.current(), nullptr);
    EXPECT_FALSE(engine.playbackTimerActive());
    engine.togglePause();
    engine.jumpSentence(1);
    engine.seek(0.5);
    EXPECT_FALSE(engine.toggleCodeExpansion());
    EXPECT_EQ(engine.phase(), Phase::preparing());
    EXPECT_EQ(engine.remainingLabel(), QString());

    engine.load(words(2));
    EXPECT_EQ(engine.phase(), Phase::countdown(3)) << "the countdown is not skipped";
    EXPECT_EQ(engine.current()->text, "word0");
    engine.prepare();
    engine.dismiss();
    EXPECT_EQ(engine.phase(), Phase::idle());
}

TEST_F(PlaybackTest, DerivedValuesFollowIndexAndRate) {
    engine.load({});
    EXPECT_EQ(engine.progress(), 0.0);
    EXPECT_EQ(engine.remainingLabel(), QString());
    EXPECT_EQ(engine.currentSentenceText(), QString());
    loadAndStart(words(5, 2));
    EXPECT_EQ(engine.currentSentenceText(), QStringLiteral("word0 word1"));
    engine.seek(0.5);
    EXPECT_EQ(engine.currentSentenceText(), QStringLiteral("word2 word3"));
    EXPECT_EQ(engine.progress(), 0.5);
    engine.load(Tokens(50, codeBlock()));
    engine.seek(1.0);
    EXPECT_EQ(engine.remainingLabel(), QStringLiteral("0:02 left")); // 1.5 s, halves round up
    settings.setWpm(480);
    engine.load(words(60)); // 60 × 0.125 s
    EXPECT_EQ(engine.remainingLabel(), QStringLiteral("0:08 left"));
    engine.load(Tokens(60, codeBlock())); // same length and rate, other tokens
    EXPECT_EQ(engine.remainingLabel(), QStringLiteral("1:30 left"));
    engine.load(words(60));
    engine.changeSpeed(480);
    EXPECT_EQ(engine.remainingLabel(), QStringLiteral("0:04 left"));

    // 0.3 s per 14-character word at 400 WPM: 25 of them sum to a hair under 7.5 in binary.
    settings.setWpm(400);
    for (const auto& [count, label] : {std::pair{25, "0:08 left"}, {24, "0:07 left"}}) {
        engine.load(Tokens(std::size_t(count), word("fourteen-chars")));
        EXPECT_EQ(engine.remainingLabel(), QString::fromLatin1(label)) << count;
    }
}

TEST_F(PlaybackTest, ObserversHearBeforeAndAfterAndMayStopTheEngine) {
    std::vector<int> before;
    QObject::connect(&engine, &ReaderEngine::aboutToChange,
                     [&] { before.push_back(engine.index()); });
    QObject::connect(&engine, &ReaderEngine::phaseChanged, [&](Phase phase) {
        if (phase == Phase::reading())
            engine.dismiss();
    });
    engine.load(words(3));
    engine.seek(0.7);
    EXPECT_EQ(before.back(), 0);
    EXPECT_EQ(engine.index(), 2);
    scheduler.advance(0.6 + justPast);
    EXPECT_EQ(engine.phase(), Phase::idle());
    EXPECT_EQ(scheduler.pendingCount(), 0u);
    {
        ReaderEngine shortLived(settings, scheduler);
        shortLived.load(words(3));
        shortLived.changeSpeed(25);
    }
    EXPECT_EQ(scheduler.pendingCount(), 0u);
}

} // namespace
