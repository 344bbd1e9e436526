#include "EngineFixture.h"

#include <cmath>
#include <functional>
#include <random>
#include <string>

using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

class PropertyTest : public EngineFixture {
protected:
    bool chance(double p) { return std::bernoulli_distribution(p)(random); }
    int pick(int last) { return std::uniform_int_distribution<int>(0, last)(random); }

    Tokens randomTokens() {
        Tokens tokens;
        std::int64_t sentence = 0;
        std::int64_t paragraph = 0;
        for (int i = pick(12); i > 0; --i) {
            sentence += chance(0.3);
            paragraph += chance(0.15);
            tokens.push_back(chance(0.25) ? codeBlock(sentence, paragraph)
                                          : word("w", sentence, paragraph));
        }
        return tokens;
    }

    // Runs one random command and returns its name.
    std::string step() {
        const int direction = chance(0.5) ? 1 : -1;
        const double fractions[] = {-0.5, 1.5, std::nan(""), 0.3, 0.7, 0.999};
        const std::pair<const char*, std::function<void()>> commands[] = {
            {"load", [&] { engine.load(randomTokens()); }},
            {"dismiss", [&] { engine.dismiss(); }},
            {"pause", [&] { engine.togglePause(); }},
            {"speed", [&] { engine.changeSpeed(25 * direction); }},
            {"sentence", [&] { engine.jumpSentence(direction); }},
            {"paragraph", [&] { engine.jumpParagraph(direction); }},
            {"return", [&] { engine.toggleCodeExpansion(); }},
            {"escape", [&] { engine.collapseIfExpanded(); }},
            {"seek", [&] { engine.seek(fractions[pick(5)]); }},
            {"wait",
             [&] { scheduler.advance(std::uniform_real_distribution<double>(0.0, 2.0)(random)); }},
        };
        const auto& [name, run] = commands[pick(9)];
        run();
        return name;
    }

    // Empty when every invariant holds, else the one that broke.
    std::string violation() const {
        const auto count = int(engine.tokens().size());
        const Phase phase = engine.phase();
        const bool timed = phase.is(Phase::Case::reading) || phase.is(Phase::Case::countdown);
        // The overlay's timer is pending exactly while the overlay shows.
        const auto playbackTimers = scheduler.pendingCount() - (engine.wpmOverlayVisible() ? 1 : 0);
        if (engine.index() < 0 || engine.index() >= std::max(count, 1))
            return "index out of bounds";
        if (playbackTimers > 1)
            return "more than one playback timer";
        if (playbackTimers != (timed ? 1u : 0u) || engine.playbackTimerActive() != timed)
            return "playback timer does not match the phase";
        if (count == 0 && !phase.is(Phase::Case::empty) && !phase.is(Phase::Case::idle))
            return "playing without tokens";
        if (engine.expandedCodeVisible() &&
            (!phase.is(Phase::Case::paused) || !engine.current()->isCodeBlock()))
            return "code expanded outside a paused code block";
        if (engine.wpm() < ReaderEngine::minimumWpm || engine.wpm() > ReaderEngine::maximumWpm)
            return "rate out of bounds";
        if (count > 0 && !(engine.current() &&
                           *engine.current() == engine.tokens()[std::size_t(engine.index())]))
            return "the current token is not the one at the index";
        return {};
    }

    std::mt19937 random{20261206};
};

} // namespace

TEST_F(PropertyTest, RandomCommandSequencesKeepTheInvariants) {
    for (int run = 0; run < 300; ++run) {
        std::string history;
        for (int i = 0; i < 60; ++i) {
            history += step() + ' ';
            const std::string broken = violation();
            ASSERT_TRUE(broken.empty()) << broken << " after: " << history;
        }
    }
}
