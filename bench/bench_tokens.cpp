#include "MixedText.h"
#include "core/TextPreprocessor.h"

#include <benchmark/benchmark.h>

using BlinkwitCore::TextPreprocessor;

namespace {

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

} // namespace

BENCHMARK(tokensOfMixedText)->Arg(1 << 20)->Arg(4 << 20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
