#include "MixedText.h"
#include "core/TextPreprocessor.h"

#include <benchmark/benchmark.h>

using BlinkwitCore::TextPreprocessor;

namespace {

// Tokens as Token values, the engine's interface for short texts and tests.
void tokensOfMixedText(benchmark::State& state) {
    const std::string text = MixedText::generate(std::size_t(state.range(0)));
    std::size_t count = 0;
    for (auto _ : state) {
        const auto tokens = TextPreprocessor::tokens(text, {});
        count = tokens.size();
        benchmark::DoNotOptimize(tokens.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
    state.counters["tokens"] = double(count);
}

// The compact list that both reader front ends and blinkwit tokens use.
void tokenListOfMixedText(benchmark::State& state) {
    const std::string text = MixedText::generate(std::size_t(state.range(0)));
    std::size_t count = 0;
    for (auto _ : state) {
        const auto tokens = TextPreprocessor::tokenList(text, {});
        count = tokens.size();
        benchmark::DoNotOptimize(&tokens);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
    state.counters["tokens"] = double(count);
}

} // namespace

// Wall time: long texts are read on several threads.
BENCHMARK(tokensOfMixedText)
    ->Arg(1 << 20)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(tokenListOfMixedText)
    ->Arg(1 << 20)
    ->Arg(4 << 20)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
