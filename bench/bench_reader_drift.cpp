// How closely the engine keeps to the timing engine's schedule on the real event loop: plays
// 1000 tokens at 600 words per minute with the Qt scheduler and compares each token's onset with
// its intended time (load + countdown + the durations of the tokens before it).
//   mean_lateness_ms  average of (actual onset - intended onset) over all tokens
//   drift_percent     (last onset - first onset - their intended distance) / that distance
// NaiveChain runs the same durations by rescheduling from the moment each timer fired, the
// way lateness adds up when nothing corrects it.
#include "core/TimingEngine.h"
#include "platform/QtScheduler.h"
#include "reader/ReaderEngine.h"
#include "settings/AppSettings.h"
#include "settings/InMemoryDefaultsStore.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <benchmark/benchmark.h>
#include <functional>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

using namespace Blinkwit;
using BlinkwitCore::TimingEngine;
using BlinkwitCore::Token;

namespace {

constexpr int tokenCount = 1000;
constexpr int rate = 600;

std::vector<Token> sampleTokens() {
    const std::string prose = "The engine shows each word for a time that depends on its length, "
                              "on digits such as 1984 and on the punctuation after it. Sentences "
                              "end with a longer pause; clauses, with a shorter one.";
    std::vector<Token> tokens;
    std::int64_t sentence = 0;
    while (int(tokens.size()) < tokenCount) {
        std::istringstream words(prose);
        for (std::string text; words >> text && int(tokens.size()) < tokenCount;) {
            Token token{.text = text, .sentenceIndex = sentence};
            token.endsSentence = text.back() == '.';
            token.endsClause = text.back() == ',' || text.back() == ';';
            token.containsDigits = text.find_first_of("0123456789") != std::string::npos;
            sentence += token.endsSentence;
            tokens.push_back(std::move(token));
        }
    }
    return tokens;
}

// Intended onset of each token relative to the first one.
std::vector<double> intendedOffsets(const std::vector<Token>& tokens) {
    std::vector<double> offsets{0.0};
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i)
        offsets.push_back(offsets.back() + TimingEngine::duration(tokens[i], rate));
    return offsets;
}

void report(benchmark::State& state, const std::vector<double>& onsets, double firstIntended,
            const std::vector<double>& offsets) {
    double lateness = 0.0;
    double worst = 0.0;
    for (std::size_t i = 0; i < onsets.size(); ++i) {
        const double late = onsets[i] - (firstIntended + offsets[i]);
        lateness += late;
        worst = std::max(worst, late);
    }
    const double span = offsets.back();
    const double drift = (onsets.back() - onsets.front()) - span;
    state.counters["tokens"] = double(onsets.size());
    state.counters["mean_lateness_ms"] = lateness / double(onsets.size()) * 1000.0;
    state.counters["max_lateness_ms"] = worst * 1000.0;
    state.counters["drift_ms"] = drift * 1000.0;
    state.counters["drift_percent"] = drift / span * 100.0;
    state.counters["intended_s"] = span;
}

void ReaderEngineDrift(benchmark::State& state) {
    const std::vector<Token> tokens = sampleTokens();
    const std::vector<double> offsets = intendedOffsets(tokens);
    for (auto _ : state) {
        InMemoryDefaultsStore store;
        AppSettings settings(store);
        settings.setWpm(rate);
        QtScheduler scheduler;
        ReaderEngine engine(settings, scheduler);
        QEventLoop loop;
        std::vector<double> onsets;
        onsets.reserve(tokens.size());
        QObject::connect(&engine, &ReaderEngine::phaseChanged, [&](Phase phase) {
            if (phase == Phase::reading())
                onsets.push_back(scheduler.now());
            else if (phase == Phase::finished())
                loop.quit();
        });
        QObject::connect(&engine, &ReaderEngine::indexChanged,
                         [&](int) { onsets.push_back(scheduler.now()); });
        const double loaded = scheduler.now();
        engine.load(tokens);
        loop.exec();
        report(state, onsets, loaded + 3 * ReaderEngine::countdownStep, offsets);
    }
}

void NaiveChain(benchmark::State& state) {
    const std::vector<Token> tokens = sampleTokens();
    const std::vector<double> offsets = intendedOffsets(tokens);
    for (auto _ : state) {
        QtScheduler scheduler;
        QEventLoop loop;
        std::vector<double> onsets;
        std::function<void()> show = [&] {
            onsets.push_back(scheduler.now());
            if (onsets.size() == tokens.size()) {
                loop.quit();
                return;
            }
            scheduler.scheduleAfter(TimingEngine::duration(tokens[onsets.size() - 1], rate), show);
        };
        const double start = scheduler.now();
        scheduler.scheduleAfter(0.0, show);
        loop.exec();
        report(state, onsets, start, offsets);
    }
}

} // namespace

BENCHMARK(ReaderEngineDrift)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(NaiveChain)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
