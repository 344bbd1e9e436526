#include "MixedText.h"
#include "core/TextPreprocessor.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <malloc.h>

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

int main(int argc, char** argv) {
    // glibc serves blocks above 32 MiB with fresh pages from the kernel on every call and
    // recycles smaller ones. The 1 MiB case's token list (19 MB) is recycled from one
    // iteration to the next; the 4 MiB case's (76 MB) would be faulted in and zeroed by the
    // kernel in every iteration, about 50 ms here (2.6 us per 4 KiB page), which is not the
    // engine's cost. Serving every block from the kept heap treats both sizes alike;
    // BLINKWIT_BENCH_DEFAULT_MALLOC=1 measures with glibc's defaults.
    if (std::getenv("BLINKWIT_BENCH_DEFAULT_MALLOC") == nullptr) {
        mallopt(M_MMAP_MAX, 0);
        mallopt(M_TRIM_THRESHOLD, 1 << 30);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
