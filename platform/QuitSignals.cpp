#include "QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace Blinkwit {

namespace {

int pipeEnds[2] = {-1, -1};
constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

QuitSignals::QuitSignals(QObject* parent)
    : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [] {
        char signal = 0;
        // exit(), not quit(): quit() first asks every window to close, and the reader panel
        // refuses (it hides instead), which would cancel the quit.
        if (::read(pipeEnds[1], &signal, 1) == 1)
            QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = &QuitSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : handledSignals)
        ::sigaction(signal, &action, nullptr);
}

QuitSignals::~QuitSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (const int signal : handledSignals)
        ::sigaction(signal, &action, nullptr);
    delete notifier_;
    for (int& end : pipeEnds) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void QuitSignals::handle(int signal) {
    const char byte = char(signal);
    // Nothing more is safe in a signal handler; a full pipe means a quit is already queued.
    [[maybe_unused]] const auto written = ::write(pipeEnds[0], &byte, 1);
}

} // namespace Blinkwit
