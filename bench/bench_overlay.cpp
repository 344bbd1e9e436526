// From the region command to the overlays being on screen: the windows created, shown and
// painted (without a compositing manager, after a still of each display was taken).
//   scripts/with-display build-release/bench/bench_overlay
// Start `xcompmgr -n &` on the display first to measure the blended case.

#include "app/OverlayWindow.h"
#include "app/RegionSelectionController.h"
#include "platform/QtScheduler.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace {

using namespace Blinkwit;

bool allExposed(const RegionSelectionController& controller) {
    for (const OverlayWindow* window : controller.windows())
        if (!window->windowHandle() || !window->windowHandle()->isExposed())
            return false;
    return !controller.windows().empty();
}

void overlayVisible(benchmark::State& state) {
    QtScheduler scheduler;
    RegionSelectionController controller(scheduler);
    for (auto _ : state) {
        controller.begin([](std::optional<QRectF>) {});
        while (!allExposed(controller))
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::processEvents(); // the first paint
        state.PauseTiming();
        controller.finish(std::nullopt);
        QElapsedTimer settle;
        settle.start();
        while (settle.elapsed() < 50)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.ResumeTiming();
    }
}
BENCHMARK(overlayVisible)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
