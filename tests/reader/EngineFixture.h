#pragma once

#include "TokenLists.h"
#include "core/TimingEngine.h"
#include "reader/ReaderEngine.h"
#include "settings/AppSettings.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/ManualScheduler.h"

#include <gtest/gtest.h>
#include <ostream>

namespace Blinkwit {

inline void PrintTo(const Phase& phase, std::ostream* out) {
    *out << phase.name();
    if (phase.is(Phase::Case::countdown))
        *out << ' ' << phase.countdownNumber();
}

} // namespace Blinkwit

namespace Blinkwit::Testing {

// An engine on virtual time with default settings.
class EngineFixture : public ::testing::Test {
protected:
    // Virtual time sums steps like 0.2 + 0.2 + 0.2 with rounding; this margin reaches past a
    // deadline without reaching the next one.
    static constexpr double justPast = 1e-9;

    // Loads and runs the countdown, so the first token has just appeared.
    void startReading(std::vector<BlinkwitCore::Token> tokens) {
        engine.load(std::move(tokens));
        scheduler.advance(3 * ReaderEngine::countdownStep);
        ASSERT_EQ(engine.phase(), Phase::reading());
    }

    double durationOf(int index) const {
        return BlinkwitCore::TimingEngine::duration(engine.tokens().at(std::size_t(index)),
                                                    engine.wpm());
    }

    // Time until the pending playback step, or a negative number when none is pending.
    double timeToNextStep() const {
        return scheduler.pendingCount() == 0 ? -1.0 : scheduler.nextDeadline() - scheduler.now();
    }

    InMemoryDefaultsStore store;
    AppSettings settings{store};
    ManualScheduler scheduler;
    ReaderEngine engine{settings, scheduler};
};

} // namespace Blinkwit::Testing
