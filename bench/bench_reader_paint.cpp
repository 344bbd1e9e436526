// Paints the whole reader view once per token change, as the panel does while reading, and once
// per key while paused in a text of megabytes.
//   QT_QPA_PLATFORM=offscreen build-release/bench/bench_reader_paint

#include "core/TextPreprocessor.h"
#include "platform/Scheduler.h"
#include "reader/ReaderEngine.h"
#include "reader/ReaderView.h"
#include "settings/AppSettings.h"
#include "settings/InMemoryDefaultsStore.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <map>

namespace {

using namespace Blinkwit;

// Runs timers only when told: the countdown is stepped through by hand, token timers never fire
// (the benchmark moves the reader by seeking).
class HandScheduler final : public Scheduler {
public:
    double now() const override { return 0; }
    TimerId scheduleAt(double, std::function<void()> task) override {
        tasks_[++next_] = std::move(task);
        return next_;
    }
    void cancel(TimerId id) override { tasks_.erase(id); }
    void fireEarliest() {
        if (tasks_.empty())
            return;
        auto task = std::move(tasks_.begin()->second);
        tasks_.erase(tasks_.begin());
        task();
    }

private:
    TimerId next_ = 0;
    std::map<TimerId, std::function<void()>> tasks_;
};

std::string prose() {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "The reader flashes extraordinarily long words (and short ones) one at a time, "
                "with `inline code`, src/reader/ReaderView.cpp and https://example.com/page. ";
    return text;
}

// Megabytes of words without a sentence mark: one sentence.
std::string oneSentence(std::size_t bytes) {
    std::string text;
    for (int i = 0; text.size() < bytes; ++i)
        text += "word" + std::to_string(i) + " ";
    return text;
}

// A reader view over the text, with the countdown over.
class Rig {
public:
    explicit Rig(const std::string& text, double ratio = 1.0)
        : engine_(settings_, scheduler_)
        , image_(QSize(640, 230) * ratio, QImage::Format_ARGB32_Premultiplied) {
        engine_.load(BlinkwitCore::TextPreprocessor::tokens(text, {}));
        for (int step = 0; step < 3; ++step)
            scheduler_.fireEarliest();
        view_.setAnimated(false);
        view_.resize(640, 230);
        image_.setDevicePixelRatio(ratio);
    }

    bool reading() const { return engine_.phase().is(Phase::Case::reading); }
    ReaderEngine& engine() { return engine_; }
    void paint() {
        image_.fill(Qt::transparent);
        view_.render(&image_, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image_.constBits());
    }

private:
    InMemoryDefaultsStore store_;
    AppSettings settings_{store_};
    HandScheduler scheduler_;
    ReaderEngine engine_;
    ReaderView view_{engine_, settings_};
    QImage image_;
};

void paintPerToken(benchmark::State& state) {
    Rig rig(prose(), double(state.range(0)));
    if (!rig.reading()) {
        state.SkipWithError("the countdown did not end");
        return;
    }
    ReaderEngine& engine = rig.engine();
    const auto count = double(engine.tokens().size());
    std::size_t step = 0;
    for (auto _ : state) {
        engine.seek((double(step++ % engine.tokens().size()) + 0.5) / count);
        rig.paint();
    }
    state.counters["frames/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// Space in the middle of one sentence of megabytes: the paused frame, then the reading one.
void pauseInALongSentence(benchmark::State& state) {
    Rig rig(oneSentence(std::size_t(state.range(0)) << 20));
    rig.engine().seek(0.5);
    for (auto _ : state) {
        rig.engine().togglePause();
        rig.paint();
        rig.engine().togglePause();
        rig.paint();
    }
}

// Up and Down while paused on a word of ten megabytes.
void keysOnAHugeWord(benchmark::State& state) {
    Rig rig("Before. " + std::string(std::size_t(10) << 20, 'x') + " after.");
    rig.engine().seek(0.5);
    rig.engine().togglePause();
    int step = 25;
    for (auto _ : state) {
        rig.engine().changeSpeed(step = -step);
        rig.paint();
    }
}

BENCHMARK(paintPerToken)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(pauseInALongSentence)->Arg(5)->Unit(benchmark::kMillisecond);
BENCHMARK(keysOnAHugeWord)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
