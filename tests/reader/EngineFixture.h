#pragma once

#include "core/TimingEngine.h"
#include "reader/ReaderEngine.h"
#include "settings/AppSettings.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/ManualScheduler.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace Blinkwit {

inline void PrintTo(const Phase& phase, std::ostream* out) {
    *out << phase.name() << ' ' << phase.countdownNumber();
}

namespace Testing {

using Tokens = std::vector<BlinkwitCore::Token>;

inline BlinkwitCore::Token word(std::int64_t sentence = 0, std::int64_t paragraph = 0) {
    return {.text = "words", .sentenceIndex = sentence, .paragraphIndex = paragraph};
}

inline BlinkwitCore::Token codeBlock(std::int64_t sentence = 0, std::int64_t paragraph = 0) {
    BlinkwitCore::Token token{
        .text = "[code]", .sentenceIndex = sentence, .paragraphIndex = paragraph};
    token.kind = BlinkwitCore::TokenKind::codeBlock("swift", 2);
    token.codeContent = "let a = 1\nprint(a)";
    token.endsSentence = true; // 1.5 s at every rate
    return token;
}

// count words, a new sentence beginning at each of the given positions.
inline Tokens withSentenceStarts(const std::vector<int>& starts, int count) {
    Tokens tokens;
    std::int64_t sentence = -1;
    for (int i = 0; i < count; ++i) {
        sentence += std::count(starts.begin(), starts.end(), i);
        tokens.push_back(word(sentence));
        tokens.back().text = "word" + std::to_string(i);
    }
    return tokens;
}

inline Tokens words(int count) {
    return withSentenceStarts({0}, count);
}

// An engine on virtual time with default settings.
class EngineFixture : public ::testing::Test {
protected:
    // Virtual time adds steps like 0.2 + 0.2 + 0.2 with rounding; this reaches just past a
    // deadline without reaching the next one.
    static constexpr double justPast = 1e-9;

    // Loads and runs the countdown, so the first token has just appeared.
    void startReading(Tokens tokens) {
        engine.load(std::move(tokens));
        scheduler.advance(3 * ReaderEngine::countdownStep + justPast);
        ASSERT_EQ(engine.phase(), Phase::reading());
    }

    double durationOf(int index) const {
        return BlinkwitCore::TimingEngine::duration(engine.tokens().at(std::size_t(index)),
                                                    engine.wpm());
    }

    // Time until the earliest pending timer; negative when none is pending.
    double timeToNextStep() const {
        return scheduler.pendingCount() == 0 ? -1.0 : scheduler.nextDeadline() - scheduler.now();
    }

    InMemoryDefaultsStore store;
    AppSettings settings{store};
    ManualScheduler scheduler;
    ReaderEngine engine{settings, scheduler};
};

} // namespace Testing
} // namespace Blinkwit
