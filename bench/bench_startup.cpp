// Time from starting `blinkwit read FILE` to its reader panel being mapped on the X server, with
// an empty history and with one history entry of 7 MB, and the peak memory of that start.
// Needs a display (scripts/with-display). BLINKWIT_EXECUTABLE overrides the program measured.
//   peak_MiB  the program's peak resident memory (VmHWM) when its panel appeared
#include "MixedText.h"
#include "settings/HistoryStore.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <poll.h>
#include <xcb/xcb.h>

using namespace Blinkwit;

namespace {

QString executable() {
    const QString chosen = qEnvironmentVariable("BLINKWIT_EXECUTABLE");
    return chosen.isEmpty() ? QStringLiteral(BLINKWIT_EXECUTABLE) : chosen;
}

// Waits for any top-level window to be mapped; false after the limit.
bool waitForMap(xcb_connection_t* connection, int limitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (std::chrono::steady_clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            free(event);
            if (mapped)
                return true;
        }
        poll(&descriptor, 1, 10);
    }
    return false;
}

double peakMiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const auto match = QRegularExpression(QStringLiteral(R"(VmHWM:\s+(\d+) kB)"))
                           .match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : 0;
}

void BM_StartUntilPanelShown(benchmark::State& state) {
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("config"));
    if (state.range(0) > 0) {
        JsonFileDefaultsStore store(config + QStringLiteral("/blinkwit/defaults.json"));
        HistoryStore(store).add(
            QString::fromStdString(MixedText::generate(std::size_t(state.range(0)) << 20)));
    }
    QFile sample(dir.filePath(QStringLiteral("sample.md")));
    if (!sample.open(QIODevice::WriteOnly) ||
        sample.write(QByteArray::fromStdString(MixedText::generate(4096))) < 0)
        return state.SkipWithError("cannot write the sample");
    sample.close();

    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return state.SkipWithError("no display");
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    double peak = 0;
    for (auto _ : state) {
        QProcess program;
        program.setProcessEnvironment(environment);
        const auto start = std::chrono::steady_clock::now();
        program.start(executable(), {QStringLiteral("read"), sample.fileName()});
        const bool shown = waitForMap(connection, 60000);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        peak = std::max(peak, peakMiB(program.processId()));
        program.kill();
        program.waitForFinished();
        if (!shown)
            return state.SkipWithError("the panel did not appear");
        state.SetIterationTime(elapsed.count());
    }
    state.counters["peak_MiB"] = peak;
    xcb_disconnect(connection);
}

} // namespace

BENCHMARK(BM_StartUntilPanelShown)
    ->ArgName("history_MiB")
    ->Arg(0)
    ->Arg(7)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5);

BENCHMARK_MAIN();
