#pragma once

#include "core/TimingEngine.h"
#include "reader/ReaderEngine.h"
#include "settings/AppSettings.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/ManualScheduler.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

namespace Blinkwit {

inline void PrintTo(const Phase& phase, std::ostream* out) {
    *out << phase.name() << ' ' << phase.countdownNumber();
}

namespace Testing {

using Token = BlinkwitCore::Token;
using Tokens = std::vector<Token>;

inline Token word(std::string text = "words", std::int64_t sentence = 0, std::int64_t paragraph = 0,
                  BlinkwitCore::TokenKind kind = BlinkwitCore::TokenKind::word()) {
    return {.text = std::move(text),
            .kind = kind,
            .sentenceIndex = sentence,
            .paragraphIndex = paragraph};
}

// Shown for 1.5 s at every rate, as it ends a sentence.
inline Token codeBlock(std::int64_t sentence = 0, std::int64_t paragraph = 0,
                       std::string code = "let a = 1\nprint(a)\n", std::string language = "swift") {
    const auto lines = std::int64_t(std::count(code.begin(), code.end(), '\n'));
    Token token = word("⟨code: " + language + ", " + std::to_string(lines) + " lines⟩", sentence,
                       paragraph, BlinkwitCore::TokenKind::codeBlock(language, lines));
    token.codeContent = std::move(code);
    token.endsSentence = true;
    return token;
}

// "word0" ... : a new sentence every perSentence words, a new paragraph every perParagraph.
inline Tokens words(int count, int perSentence = 0, int perParagraph = 0) {
    Tokens tokens;
    for (int i = 0; i < count; ++i)
        tokens.push_back(word("word" + std::to_string(i), perSentence ? i / perSentence : 0,
                              perParagraph ? i / perParagraph : 0));
    return tokens;
}

// Settings on an in-memory store and an engine on virtual time.
struct ReaderRig {
    // Virtual time adds steps like 0.2 + 0.2 + 0.2 with rounding; this reaches just past a
    // deadline without reaching the next one.
    static constexpr double justPast = 1e-9;

    // Loads and runs the countdown, so the first token has just appeared.
    void loadAndStart(Tokens tokens) {
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

class EngineFixture : public ::testing::Test, public ReaderRig {};

} // namespace Testing
} // namespace Blinkwit
