// A text of 50 MiB read in both front ends: how soon the first frame shows, how soon the
// countdown starts (the tokens are in), the program's peak memory once reading has begun, and how
// soon q ends the terminal reader while it is still preparing. BLINKWIT_EXECUTABLE overrides the
// program measured, so that two builds can be compared side by side. The panel's case needs a
// display (scripts/with-display); each run starts with a settings folder of its own.
//   countdown_s  seconds from the start to the countdown
//   peak_MiB     the program's peak resident memory (VmHWM) half a second into the countdown
#include "MixedText.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pty.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr std::size_t textBytes = std::size_t(50) << 20;
constexpr auto limit = std::chrono::seconds(120);

std::string executable() {
    const char* chosen = std::getenv("BLINKWIT_EXECUTABLE");
    return chosen && *chosen ? chosen : BLINKWIT_EXECUTABLE;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A folder for the text and each run's settings, removed at exit.
class Scratch {
public:
    Scratch() {
        std::string name = (fs::temp_directory_path() / "bench_big_text.XXXXXX").string();
        root_ = mkdtemp(name.data()) ? fs::path(name) : fs::path();
    }
    ~Scratch() {
        std::error_code ignored;
        if (!root_.empty())
            fs::remove_all(root_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;

    const fs::path& root() const { return root_; }
    // A settings folder no earlier run has written to.
    std::string freshConfig() {
        const fs::path config = root_ / ("config" + std::to_string(++runs_));
        fs::create_directories(config);
        return config.string();
    }

private:
    fs::path root_;
    int runs_ = 0;
};

Scratch& scratch() {
    static Scratch instance;
    return instance;
}

const std::string& bigFile() {
    static const std::string path = [] {
        const std::string file = (scratch().root() / "big.md").string();
        std::ofstream(file, std::ios::binary) << MixedText::generate(textBytes);
        return file;
    }();
    return path;
}

double peakMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            std::istringstream fields(line.substr(6));
            double kib = 0;
            fields >> kib;
            return kib / 1024.0;
        }
    }
    return 0;
}

void end(pid_t pid) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

// `blinkwit read --terminal FILE` on a terminal of its own, 100 × 30.
class TerminalRun {
public:
    explicit TerminalRun(const std::string& config) {
        winsize size{};
        size.ws_row = 30;
        size.ws_col = 100;
        pid_ = forkpty(&master_, nullptr, nullptr, &size);
        if (pid_ == 0) {
            ::setenv("TERM", "xterm-256color", 1);
            ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            const std::string program = executable();
            ::execl(program.c_str(), program.c_str(), "read", "--terminal", bigFile().c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~TerminalRun() {
        if (pid_ > 0 && !exited_)
            end(pid_);
        if (master_ >= 0)
            ::close(master_);
    }
    TerminalRun(const TerminalRun&) = delete;
    TerminalRun& operator=(const TerminalRun&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // Reads what the program writes until text appears in it; false when it never does.
    bool waitFor(std::string_view text) {
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            if (seen_.find(text, searched_) != std::string::npos)
                return true;
            searched_ = seen_.size() < text.size() ? 0 : seen_.size() - text.size();
            pollfd descriptor{master_, POLLIN, 0};
            if (::poll(&descriptor, 1, 100) <= 0)
                continue;
            char buffer[65536];
            const ssize_t got = ::read(master_, buffer, sizeof buffer);
            if (got <= 0)
                return false;
            seen_.append(buffer, std::size_t(got));
        }
        return false;
    }

    void type(std::string_view keys) const {
        if (::write(master_, keys.data(), keys.size()) < 0)
            return;
    }

    // Waits for the program to end, reading on so that it never blocks on its output.
    bool waitForExit() {
        const auto deadline = Clock::now() + limit;
        while (Clock::now() < deadline) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_)
                return exited_ = true;
            pollfd descriptor{master_, POLLIN, 0};
            if (::poll(&descriptor, 1, 5) > 0) {
                char buffer[65536];
                if (::read(master_, buffer, sizeof buffer) < 0)
                    continue;
            }
        }
        return false;
    }

private:
    pid_t pid_ = -1;
    int master_ = -1;
    bool exited_ = false;
    std::string seen_;
    std::size_t searched_ = 0;
};

// The first frame, then the countdown: its footer shows the time left, which only tokens have.
void terminalFirstFrame(benchmark::State& state) {
    bigFile();
    double countdown = 0;
    double peak = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        TerminalRun run(scratch().freshConfig());
        if (!run.started() || !run.waitFor("\x1b[?2026h"))
            return state.SkipWithError("no frame was drawn");
        state.SetIterationTime(secondsSince(start));
        if (!run.waitFor(" left"))
            return state.SkipWithError("the countdown never started");
        countdown = std::max(countdown, secondsSince(start));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        peak = std::max(peak, peakMiB(run.pid()));
        run.type("q");
        run.waitForExit();
    }
    state.counters["countdown_s"] = countdown;
    state.counters["peak_MiB"] = peak;
}

// q as soon as the reader's screen is up, the text still being prepared: until the program ends.
void terminalQuitWhilePreparing(benchmark::State& state) {
    bigFile();
    for (auto _ : state) {
        TerminalRun run(scratch().freshConfig());
        // The alternate screen: the terminal is set up and the keys are the reader's.
        if (!run.started() || !run.waitFor("\x1b[?1049h"))
            return state.SkipWithError("the reader did not start");
        const auto start = Clock::now();
        run.type("q");
        if (!run.waitForExit())
            return state.SkipWithError("q did not end the reader");
        state.SetIterationTime(secondsSince(start));
    }
}

// Waits for any top-level window to be mapped; false after the limit.
bool waitForMap(xcb_connection_t* connection) {
    const auto deadline = Clock::now() + limit;
    pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped)
                return true;
        }
        ::poll(&descriptor, 1, 10);
    }
    return false;
}

// The history keeps a text this long apart, in a file it writes just before the countdown.
bool waitForHistory(const std::string& config) {
    const fs::path folder = fs::path(config) / "blinkwit" / "large-values";
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error))
            if (entry.path().extension() == ".txt")
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// One connection, watching the root window's children, for the whole process: Xvfb resets when
// its last client leaves, and a connection made during the reset fails.
xcb_connection_t* displayWatch() {
    static xcb_connection_t* const connection = [] {
        xcb_connection_t* opened = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(opened))
            return opened;
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(opened)).data;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(opened, screen->root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(opened);
        return opened;
    }();
    return connection;
}

// `blinkwit read FILE`: until its panel is mapped, then until the countdown.
void panelFirstFrame(benchmark::State& state) {
    bigFile();
    xcb_connection_t* connection = displayWatch();
    if (xcb_connection_has_error(connection))
        return state.SkipWithError("no display");
    double countdown = 0;
    double peak = 0;
    for (auto _ : state) {
        // What the previous run's windows reported is no map of this run.
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection))
            std::free(event);
        const std::string config = scratch().freshConfig();
        const auto start = Clock::now();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
            ::unsetenv("QT_QPA_PLATFORM");
            const std::string program = executable();
            ::execl(program.c_str(), program.c_str(), "read", bigFile().c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        if (pid < 0 || !waitForMap(connection)) {
            if (pid > 0)
                end(pid);
            return state.SkipWithError("the panel did not appear");
        }
        state.SetIterationTime(secondsSince(start));
        const bool ready = waitForHistory(config);
        countdown = std::max(countdown, secondsSince(start));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        peak = std::max(peak, peakMiB(pid));
        end(pid);
        if (!ready)
            return state.SkipWithError("the text never reached the history");
    }
    state.counters["countdown_s"] = countdown;
    state.counters["peak_MiB"] = peak;
}

} // namespace

BENCHMARK(terminalFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(terminalQuitWhilePreparing)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(panelFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

BENCHMARK_MAIN();
