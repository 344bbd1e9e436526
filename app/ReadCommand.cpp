#include "ReadCommand.h"

#include "AppCoordinator.h"
#include "platform/DesktopSession.h"
#include "platform/InputText.h"
#include "platform/QtScheduler.h"
#include "reader/ReaderEngine.h"
#include "reader/ReaderPanelController.h"
#include "settings/AppSettings.h"
#include "settings/HistoryStore.h"

#include <QApplication>
#include <QString>
#include <X11/Xlib.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace Blinkwit {

namespace {

int readInPanel(const ReadCommand::Arguments& arguments, std::optional<QString> text) {
    // Qt is given no user arguments: a file named like one of its options stays a file.
    static int qtArgc = 1;
    static char name[] = "blinkwit";
    static char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setQuitOnLastWindowClosed(false);

    AppSettings& settings = AppSettings::shared();
    QtScheduler scheduler;
    ReaderEngine engine(settings, scheduler);
    ReaderPanelController panelController(engine, settings);
    AppCoordinator coordinator(settings, engine, panelController, HistoryStore::shared());
    QObject::connect(&panelController, &ReaderPanelController::hidden, &app,
                     &QCoreApplication::quit);
    if (arguments.source == ReadCommand::Source::clipboard)
        coordinator.readClipboard();
    else
        coordinator.present(text);
    // The reader has the text in a form of its own now; a long one need not be held twice.
    text.reset();
    const int status = app.exec();
    // Closed while a long text was still being split: nothing is left to save, and waiting for
    // the worker would keep the shell waiting.
    if (coordinator.preparing()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace

const char* ReadCommand::usage() {
    return "usage: blinkwit read [FILE|-|--clipboard]\n";
}

bool ReadCommand::wantsTerminal(const std::vector<std::string_view>& args) {
    return std::find(args.begin(), args.end(), "--terminal") != args.end();
}

std::optional<ReadCommand::Arguments> ReadCommand::parse(const std::vector<std::string_view>& args,
                                                         std::string& error) {
    Arguments arguments;
    bool haveSource = false;
    for (const std::string_view arg : args) {
        const bool option = arg.size() > 1 && arg.front() == '-';
        if (arg == "--terminal") {
            arguments.terminal = true;
            continue;
        }
        if (haveSource) {
            error = "more than one text to read: '" + std::string(arg) + "'";
            return std::nullopt;
        }
        if (arg == "--clipboard") {
            arguments.source = Source::clipboard;
        } else if (arg.empty()) {
            error = "the file name is empty";
            return std::nullopt;
        } else if (option) {
            error = "unknown option '" + std::string(arg) + "'";
            return std::nullopt;
        } else {
            arguments.source = arg == "-" ? Source::standardInput : Source::file;
            arguments.path = std::string(arg);
        }
        haveSource = true;
    }
    arguments.sourceNamed = haveSource;
    return arguments;
}

bool ReadCommand::displayAvailable(std::string& reason) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform && std::string_view(platform) != "xcb")
        return true; // a platform chosen on purpose (offscreen, vnc ...): Qt reports its own errors
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        reason = "DISPLAY is not set";
        return false;
    }
    Display* connection = XOpenDisplay(nullptr);
    if (!connection) {
        reason = "cannot open display " + std::string(display);
        return false;
    }
    XCloseDisplay(connection);
    return true;
}

int ReadCommand::run(const std::vector<std::string_view>& args) {
    std::string error;
    const std::optional<Arguments> arguments = parse(args, error);
    if (!arguments) {
        std::fprintf(stderr, "blinkwit read: %s\n%s", error.c_str(), usage());
        return 2;
    }
    if (arguments->terminal) {
        std::fputs("blinkwit read: --terminal is not available in this build\n", stderr);
        return 2;
    }
    // Nothing named and nothing piped in: waiting for typed text would look like a hang.
    if (!arguments->sourceNamed && isatty(STDIN_FILENO)) {
        std::fprintf(stderr,
                     "blinkwit read: no text given: name a FILE, pipe text in, or use "
                     "--clipboard\n%s",
                     usage());
        return 2;
    }
    std::optional<QString> text;
    if (arguments->source != Source::clipboard) {
        std::string reason;
        const std::optional<std::string> bytes = InputText::read(arguments->path, reason);
        if (!bytes) {
            std::fprintf(stderr, "blinkwit: %s\n", reason.c_str());
            return 1;
        }
        text = QString::fromUtf8(bytes->data(), qsizetype(bytes->size()));
    }
    DesktopSession::useXWaylandForWindows();
    std::string reason;
    if (!displayAvailable(reason)) {
        std::fprintf(stderr,
                     "blinkwit: the reader panel needs a display (%s); to read in a terminal, use "
                     "blinkwit read --terminal\n",
                     reason.c_str());
        return 1;
    }
    return readInPanel(*arguments, std::move(text));
}

} // namespace Blinkwit
