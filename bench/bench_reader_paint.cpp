// Paints the whole reader view once per token change, as the panel does while reading.
//   QT_QPA_PLATFORM=offscreen build-release/bench/bench_reader_paint
// Argument: the device pixel ratio (1 or 2).

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

void paintPerToken(benchmark::State& state) {
    const double ratio = double(state.range(0));
    InMemoryDefaultsStore store;
    AppSettings settings(store);
    HandScheduler scheduler;
    ReaderEngine engine(settings, scheduler);
    engine.load(BlinkwitCore::TextPreprocessor::tokens(prose(), {}));
    for (int step = 0; step < 3; ++step)
        scheduler.fireEarliest();
    if (!engine.phase().is(Phase::Case::reading)) {
        state.SkipWithError("the countdown did not end");
        return;
    }
    ReaderView view(engine, settings);
    view.setAnimated(false);
    view.resize(640, 230);
    QImage image(QSize(640, 230) * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);

    const auto count = double(engine.tokens().size());
    std::size_t step = 0;
    for (auto _ : state) {
        engine.seek((double(step++ % engine.tokens().size()) + 0.5) / count);
        image.fill(Qt::transparent);
        view.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["frames/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(paintPerToken)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

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
