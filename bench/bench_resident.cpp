// The resident program as a user feels it, on the current X display:
//   HotKeyToPanel    Ctrl+Shift+R with 1 KB of selected text, from the key release sent to the
//                    reader panel's MapNotify (before the countdown); the panel is closed with
//                    Escape between runs. Aggregates over 20 runs (median among them).
//   StartToTrayIcon  from starting `blinkwit` to its icon embedded in the tray (trayer).
//   InstallToTrayIcon  an update as a user installs it: this program packaged as release 1.0.0
//                    (installed in a home of its own) and 1.0.1 (published on a loopback
//                    server), 1.0.0 started and left to find 1.0.1 in its first automatic check;
//                    then the tray icon clicked, "Update to Blinkwit 1.0.1…" chosen and Install
//                    pressed (Return). Timed from Install to the new copy's icon in the tray:
//                    download, checks, unpacking, the swap and the new copy's start.
//   MenuClickToSettings/again:0  the tray menu's "Settings…" clicked, as a desktop's tray host
//                    sends the click over D-Bus, until the settings window's MapNotify; the
//                    window is made on this first click (a new resident for each of 5 runs).
//   MenuClickToSettings/again:1  the same once the window was made and closed (20 runs).
// Run it on an X server without a window manager, so the panel maps as a child of the root, and
// with a session bus:
//   scripts/build release
//   scripts/with-display dbus-run-session -- build-release/bench/bench_resident
#include "tests/support/StatusNotifierWatcher.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <csignal>
#include <optional>
#include <poll.h>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

Display* display() {
    static Display* connection = XOpenDisplay(nullptr);
    return connection;
}

// The resident with a configuration of its own that has already shown the welcome text.
class Resident {
public:
    Resident() {
        QDir().mkpath(home_.filePath("blinkwit"));
        QFile defaults(home_.filePath("blinkwit/defaults.json"));
        defaults.open(QIODevice::WriteOnly);
        defaults.write(R"({"hasShownWelcome": {"type": "boolean", "value": true}})");
        defaults.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", home_.path());
        environment.insert("XDG_RUNTIME_DIR", home_.path());
        process_.setProcessEnvironment(environment);
        process_.setStandardOutputFile(QProcess::nullDevice());
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start(QStringLiteral(BLINKWIT_EXECUTABLE), {});
        process_.waitForStarted();
    }
    ~Resident() {
        ::kill(pid_t(process_.processId()), SIGTERM);
        process_.waitForFinished();
    }

private:
    QTemporaryDir home_;
    QProcess process_;
};

// A helper program that ends with the benchmarks.
struct Helper {
    ~Helper() {
        process.kill();
        process.waitForFinished();
    }
    QProcess process;
};

void sendKeys(std::initializer_list<std::pair<KeySym, bool>> keys) {
    for (const auto& [key, down] : keys)
        XTestFakeKeyEvent(display(), XKeysymToKeycode(display(), key), down, CurrentTime);
    XFlush(display());
}

// The next event of the type from the root's children, or none after the time limit.
std::optional<XEvent> waitForEvent(int type, double seconds) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < deadline) {
        while (XPending(display())) {
            XEvent event;
            XNextEvent(display(), &event);
            if (event.type == type)
                return event;
        }
        pollfd descriptor{ConnectionNumber(display()), POLLIN, 0};
        poll(&descriptor, 1, 5);
    }
    return std::nullopt;
}

std::string kilobyteOfText() {
    std::string text;
    while (text.size() < 1024)
        text += "Speed reading shows one word at a time, each on the same spot. ";
    return text.substr(0, 1024);
}

// The resident the hot keys go to, kept from one repetition to the next.
std::optional<Resident>& hotKeyResident() {
    static std::optional<Resident> resident;
    return resident;
}

void HotKeyToPanel(benchmark::State& state) {
    if (!hotKeyResident())
        hotKeyResident().emplace();
    static QTemporaryDir folder;
    static Helper xclip;
    QProcess& selection = xclip.process;
    if (selection.state() == QProcess::NotRunning) {
        QFile text(folder.filePath("selection.txt"));
        text.open(QIODevice::WriteOnly);
        text.write(kilobyteOfText().c_str());
        text.close();
        selection.start("xclip", {"-quiet", "-selection", "primary", text.fileName()});
        selection.waitForStarted();
        std::this_thread::sleep_for(std::chrono::seconds(2)); // the resident's start-up
    }
    XSelectInput(display(), DefaultRootWindow(display()), SubstructureNotifyMask);
    for (auto _ : state) {
        sendKeys({{XK_Control_L, true}, {XK_Shift_L, true}, {XK_r, true}, {XK_r, false}});
        const auto sent = Clock::now();
        if (!waitForEvent(MapNotify, 5)) {
            state.SkipWithError("the reader panel did not appear");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - sent).count());
        sendKeys({{XK_Shift_L, false}, {XK_Control_L, false}});
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        sendKeys({{XK_Escape, true}, {XK_Escape, false}});
        waitForEvent(UnmapNotify, 5);
    }
}
BENCHMARK(HotKeyToPanel)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The tray's panel window, which holds the embedded icons.
Window findTrayPanel(Window window) {
    XClassHint hint{};
    if (XGetClassHint(display(), window, &hint)) {
        const bool panel = hint.res_name && std::string(hint.res_name) == "panel";
        XFree(hint.res_name);
        XFree(hint.res_class);
        if (panel)
            return window;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display(), window, &root, &parent, &children, &count);
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i)
        found = findTrayPanel(children[i]);
    if (children)
        XFree(children);
    return found;
}

unsigned childCount(Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display(), window, &root, &parent, &children, &count);
    if (children)
        XFree(children);
    return count;
}

// The panel of a tray started for the benchmarks; 0 when none came up.
Window trayPanel() {
    static Helper trayer;
    QProcess& tray = trayer.process;
    if (tray.state() == QProcess::NotRunning) {
        tray.start("trayer", {"--edge", "top", "--widthtype", "request"});
        tray.waitForStarted();
        std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return findTrayPanel(DefaultRootWindow(display()));
}

// The tray's panel with no Blinkwit icon in it, and the windows it holds then (an empty tray
// already holds one of its own); no panel without a tray.
struct EmptyTray {
    Window panel = 0;
    unsigned windows = 0;
};

EmptyTray emptyTray() {
    hotKeyResident().reset(); // a running copy would take each new start's place
    const Window panel = trayPanel();
    return {panel, panel ? childCount(panel) : 0};
}

// Until the icons of the copies that ended have left the tray.
void waitUntilEmpty(const EmptyTray& tray) {
    while (childCount(tray.panel) > tray.windows)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void StartToTrayIcon(benchmark::State& state) {
    const EmptyTray tray = emptyTray();
    if (!tray.panel) {
        state.SkipWithError("no tray");
        return;
    }
    const Window panel = tray.panel;
    const unsigned empty = tray.windows;
    for (auto _ : state) {
        const auto started = Clock::now();
        {
            Resident resident;
            while (childCount(panel) == empty && Clock::now() - started < std::chrono::seconds(10))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
        }
        waitUntilEmpty(tray);
    }
}
BENCHMARK(StartToTrayIcon)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// Where the swap left the copy that now runs: its process, found by its program.
qint64 processRunning(const QString& program) {
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs))
        if (QFileInfo("/proc/" + entry + "/exe").canonicalFilePath() == program)
            return entry.toLongLong();
    return 0;
}

// A left click in the middle of the window, through XTest.
void click(Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display(), window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display(), window, DefaultRootWindow(display()), attributes.width / 2,
                          attributes.height / 2, &x, &y, &child);
    XTestFakeMotionEvent(display(), -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display(), 1, True, CurrentTime);
    XTestFakeButtonEvent(display(), 1, False, CurrentTime);
    XFlush(display());
}

// The releases to install and to update to, made once with a throwaway key as scripts/package
// makes them, and the server publishing the newer one.
struct Releases {
    Releases() {
        run("openssl", {"genpkey", "-algorithm", "ed25519", "-out", folder.filePath("key.pem")});
        server.start("/usr/bin/python3", {BLINKWIT_SOURCE_DIR "/tests/update/loopback_server.py",
                                          folder.filePath("site")});
        server.waitForReadyRead(10000);
        address = "http://127.0.0.1:" + QString::fromLatin1(server.readLine()).trimmed();
        for (const auto& [version, out] : {std::pair{"1.0.0", "old"}, {"1.0.1", "site"}})
            run(BLINKWIT_SOURCE_DIR "/scripts/package",
                {"--url", address, "--executable", BLINKWIT_EXECUTABLE, version,
                 folder.filePath("key.pem"), folder.filePath(out)});
    }
    ~Releases() {
        server.kill();
        server.waitForFinished();
    }
    static void run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
        process.waitForFinished(-1);
    }
    // Installs 1.0.0 in the home, as its first installation by hand, and starts it as the
    // resident of that home; returns its program.
    QString installAndStart(const QTemporaryDir& home) const {
        QDir().mkpath(home.filePath("tmp"));
        run(BLINKWIT_EXECUTABLE, {"image", "unpack", folder.filePath("old/Blinkwit-1.0.0.tar"),
                                  home.filePath("Applications")});
        QDir().mkpath(home.filePath(".config/blinkwit"));
        QFile defaults(home.filePath(".config/blinkwit/defaults.json"));
        defaults.open(QIODevice::WriteOnly);
        defaults.write(R"({"hasShownWelcome": {"type": "boolean", "value": true}})");
        defaults.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            environment.remove(variable);
        environment.insert("HOME", home.path());
        environment.insert("TMPDIR", home.filePath("tmp"));
        environment.insert("XDG_RUNTIME_DIR", home.path());
        environment.insert("BLINKWIT_MANIFEST_URL", address + "/build.json");
        QProcess resident;
        resident.setProcessEnvironment(environment);
        resident.setProgram(home.filePath("Applications/Blinkwit.app/bin/blinkwit"));
        resident.startDetached();
        return resident.program();
    }

    QTemporaryDir folder;
    QProcess server;
    QString address;
};

// Whether the tray's icons change as an update's swap changes them: the old copy's goes, the
// new copy's comes, within 20 s.
bool iconReplaced(Window panel, unsigned empty) {
    const auto started = Clock::now();
    const auto waiting = [&] { return Clock::now() - started < std::chrono::seconds(20); };
    while (childCount(panel) > empty && waiting())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    while (childCount(panel) == empty && waiting())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return waiting();
}

void InstallToTrayIcon(benchmark::State& state) {
    static const Releases releases;
    const EmptyTray tray = emptyTray();
    if (!tray.panel) {
        state.SkipWithError("no tray");
        return;
    }
    for (auto _ : state) {
        QTemporaryDir home;
        const QString program = releases.installAndStart(home);
        // Its first automatic check runs 5 s after the start.
        std::this_thread::sleep_for(std::chrono::seconds(7));
        click(tray.panel);
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        sendKeys({{XK_Down, true}, {XK_Down, false}, {XK_Return, true}, {XK_Return, false}});
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        sendKeys({{XK_Return, true}, {XK_Return, false}});
        const auto install = Clock::now();
        const bool replaced = iconReplaced(tray.panel, tray.windows);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - install).count());
        const qint64 running = processRunning(QFileInfo(program).canonicalFilePath());
        if (running > 0)
            ::kill(pid_t(running), SIGTERM);
        waitUntilEmpty(tray);
        if (!replaced) {
            state.SkipWithError("the update did not take over");
            break;
        }
    }
}
BENCHMARK(InstallToTrayIcon)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

QDBusMessage menuCall(const QString& item, const QString& method, const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(item, "/MenuBar", "com.canonical.dbusmenu", method);
    message.setArguments(arguments);
    return message;
}

// The id of the top-level row with this label in a GetLayout answer's root; 0 when none.
int rowId(const QDBusArgument& root, const QString& label) {
    int id = 0;
    QVariantMap properties;
    root.beginStructure();
    root >> id >> properties;
    root.beginArray();
    int found = 0;
    while (!root.atEnd()) {
        QDBusVariant child;
        root >> child;
        const auto row = qvariant_cast<QDBusArgument>(child.variant());
        int childId = 0;
        QVariantMap childProperties;
        row.beginStructure();
        row >> childId >> childProperties;
        if (childProperties.value("label").toString() == label)
            found = childId;
    }
    return found;
}

bool until(const std::function<bool()>& condition, double seconds) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (!condition() && Clock::now() < deadline) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return condition();
}

// Asks the window to close, as a window manager's close button does.
void closeWindow(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display(), "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display(), "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display(), window, False, NoEventMask, &event);
    XFlush(display());
}

// The menu row's id; the menu is rebuilt (new ids) whenever a shortcut or the history changes.
int settingsRow(const QString& item) {
    const QDBusMessage layout = QDBusConnection::sessionBus().call(
        menuCall(item, "GetLayout", {0, -1, QStringList()}), QDBus::Block, 2000);
    if (layout.type() != QDBusMessage::ReplyMessage || layout.arguments().size() != 2)
        return 0;
    return rowId(qvariant_cast<QDBusArgument>(layout.arguments()[1]),
                 QString::fromUtf8("Settings…"));
}

void click(const QString& item, int row) {
    QDBusConnection::sessionBus().call(
        menuCall(item, "Event",
                 {row, QStringLiteral("clicked"), QVariant::fromValue(QDBusVariant(0)), 0u}),
        QDBus::NoBlock);
}

void MenuClickToSettings(benchmark::State& state) {
    hotKeyResident().reset();
    static Blinkwit::Testing::StatusNotifierWatcher watcher;
    watcher.item.clear();
    Resident resident;
    if (!until([&] { return !watcher.item.isEmpty() && settingsRow(watcher.item); }, 10)) {
        state.SkipWithError("the resident offered no menu with Settings…");
        return;
    }
    XSelectInput(display(), DefaultRootWindow(display()), SubstructureNotifyMask);
    if (state.range(0) == 1) {
        click(watcher.item, settingsRow(watcher.item));
        if (const auto shown = waitForEvent(MapNotify, 10))
            closeWindow(shown->xmap.window);
        waitForEvent(UnmapNotify, 5);
    }
    for (auto _ : state) {
        const int row = settingsRow(watcher.item);
        const auto sent = Clock::now();
        click(watcher.item, row);
        const std::optional<XEvent> shown = waitForEvent(MapNotify, 10);
        if (!shown) {
            state.SkipWithError("the settings window did not appear");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - sent).count());
        closeWindow(shown->xmap.window);
        waitForEvent(UnmapNotify, 5);
    }
}
BENCHMARK(MenuClickToSettings)
    ->ArgName("again")
    ->Arg(0)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(MenuClickToSettings)
    ->ArgName("again")
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(20)
    ->Repetitions(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // The bus connection serves the tray host's calls through the event loop.
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
