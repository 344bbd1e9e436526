#include "terminal/FrameComposer.h"
#include "terminal/FrameWriter.h"

#include <benchmark/benchmark.h>
#include <string>

using namespace Blinkwit;

namespace {

ReaderSnapshot readingWord(const char* text) {
    ReaderSnapshot snapshot;
    snapshot.phase = Phase::reading();
    snapshot.current = BlinkwitCore::Token{.text = text};
    snapshot.tokenCount = 5000;
    snapshot.wpm = 1000;
    snapshot.progress = 0.4;
    snapshot.remainingLabel = "3:12 left";
    return snapshot;
}

const TerminalTheme theme{true, Rgb{0, 255, 65}, ColorDepth::trueColor};

// One word change as the reader draws it: compose the new frame, write the rows that changed.
void wordChange(benchmark::State& state) {
    const TerminalSize size{int(state.range(0)), int(state.range(1))};
    const Frame previous = FrameComposer::compose(readingWord("previous"), size, theme);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const Frame next = FrameComposer::compose(readingWord("extraordinarily"), size, theme);
        const std::string out = FrameWriter::render(next, &previous, theme.depth);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytesPerFrame"] = double(bytes);
}

// A full redraw after a resize.
void fullRedraw(benchmark::State& state) {
    const TerminalSize size{int(state.range(0)), int(state.range(1))};
    std::size_t bytes = 0;
    for (auto _ : state) {
        const Frame frame = FrameComposer::compose(readingWord("extraordinarily"), size, theme);
        const std::string out = FrameWriter::render(frame, nullptr, theme.depth);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytesPerFrame"] = double(bytes);
}

} // namespace

BENCHMARK(wordChange)->Args({80, 24})->Args({240, 70});
BENCHMARK(fullRedraw)->Args({80, 24})->Args({240, 70});

BENCHMARK_MAIN();
