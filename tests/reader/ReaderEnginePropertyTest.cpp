#include "EngineFixture.h"

#include <cmath>
#include <random>
#include <sstream>

using namespace Blinkwit;
using namespace Blinkwit::Testing;

namespace {

class PropertyTest : public EngineFixture {
protected:
    std::vector<BlinkwitCore::Token> randomTokens() {
        const int count = std::uniform_int_distribution<int>(0, 12)(random);
        std::vector<BlinkwitCore::Token> tokens;
        std::int64_t sentence = 0;
        std::int64_t paragraph = 0;
        for (int i = 0; i < count; ++i) {
            sentence += chance(0.3);
            paragraph += chance(0.15);
            tokens.push_back(chance(0.25) ? codeBlock(sentence, paragraph)
                                          : word(sentence, paragraph, std::string(1 + i % 9, 'x')));
        }
        return tokens;
    }

    bool chance(double p) { return std::bernoulli_distribution(p)(random); }

    double randomFraction() {
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0:
            return -0.5;
        case 1:
            return 1.5;
        case 2:
            return std::nan("");
        default:
            return std::uniform_real_distribution<double>(0.0, 1.0)(random);
        }
    }

    // Runs one random command; returns its name for the failure message.
    std::string step() {
        switch (std::uniform_int_distribution<int>(0, 10)(random)) {
        case 0:
            engine.load(randomTokens());
            return "load";
        case 1:
            engine.dismiss();
            return "dismiss";
        case 2:
            engine.togglePause();
            return "togglePause";
        case 3:
            engine.changeSpeed(chance(0.5) ? 25 : -25);
            return "changeSpeed";
        case 4:
            engine.jumpSentence(chance(0.5) ? 1 : -1);
            return "jumpSentence";
        case 5:
            engine.jumpParagraph(chance(0.5) ? 1 : -1);
            return "jumpParagraph";
        case 6:
            engine.toggleCodeExpansion();
            return "toggleCodeExpansion";
        case 7:
            engine.collapseIfExpanded();
            return "collapseIfExpanded";
        case 8:
            engine.seek(randomFraction());
            return "seek";
        default: {
            const double seconds = std::uniform_real_distribution<double>(0.0, 2.0)(random);
            scheduler.advance(seconds);
            return "advance";
        }
        }
    }

    // Empty when every invariant holds, else what broke.
    std::string violation() const {
        const auto count = int(engine.tokens().size());
        const std::size_t overlayTimers = engine.wpmOverlayVisible() ? 1 : 0;
        const std::size_t playbackTimers = scheduler.pendingCount() - overlayTimers;
        const Phase phase = engine.phase();
        const bool timed = phase.is(Phase::Case::reading) || phase.is(Phase::Case::countdown);
        if (count > 0 && (engine.index() < 0 || engine.index() >= count))
            return "index out of bounds";
        if (count == 0 && engine.index() != 0)
            return "index without tokens";
        if (scheduler.pendingCount() < overlayTimers || playbackTimers > 1)
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
        if (engine.progress() < 0.0 || engine.progress() > 1.0)
            return "progress out of range";
        return {};
    }

    std::mt19937 random{20261206};
};

} // namespace

TEST_F(PropertyTest, RandomCommandSequencesKeepTheInvariants) {
    for (int run = 0; run < 300; ++run) {
        std::ostringstream history;
        for (int i = 0; i < 60; ++i) {
            history << step() << ' ';
            const std::string broken = violation();
            ASSERT_TRUE(broken.empty()) << broken << " after: " << history.str();
        }
    }
}
