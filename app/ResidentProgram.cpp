#include "ResidentProgram.h"

#include "AppDelegate.h"
#include "BlinkwitIcon.h"
#include "ReadCommand.h"
#include "platform/DBusInstanceChannel.h"
#include "platform/DesktopSession.h"
#include "platform/QuitSignals.h"

#include <QApplication>
#include <csignal>
#include <cstdio>

namespace Blinkwit {

int ResidentProgram::run() {
    DesktopSession::useXWaylandForWindows();
    std::string reason;
    if (!ReadCommand::displayAvailable(reason)) {
        std::fprintf(stderr,
                     "blinkwit: the tray program needs a display (%s); to read in a terminal, use "
                     "blinkwit read --terminal FILE\n",
                     reason.c_str());
        return 1;
    }
    static int qtArgc = 1;
    static char name[] = "blinkwit";
    static char* qtArgv[] = {name, nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationName(QStringLiteral("Blinkwit"));
    QApplication::setDesktopFileName(QStringLiteral("com.blinkwit.app"));
    QApplication::setWindowIcon(BlinkwitIcon::icon());

    DBusInstanceChannel channel;
    AppDelegate* delegate = nullptr; // requests are served from the event loop, once it exists
    const InstanceChannel::Handlers handlers{
        [&delegate] { delegate->reopen(); },
        [&delegate](const QString& command) { return delegate->runCommand(command); }};
    QString detail;
    switch (channel.claim(handlers, detail)) {
    case InstanceChannel::Claim::anotherIsRunning:
        return handOver(channel);
    case InstanceChannel::Claim::unavailable:
        std::fprintf(stderr,
                     "blinkwit: no session bus (%s); running without the one-copy check and "
                     "without blinkwit --command\n",
                     qPrintable(detail));
        break;
    case InstanceChannel::Claim::resident:
        break;
    }
    QuitSignals quitSignals;
    // A closed terminal or pipe on standard error must not end the tray program.
    std::signal(SIGPIPE, SIG_IGN);
    AppDelegate resident(channel);
    delegate = &resident;
    resident.launchFinished();
    return app.exec();
}

int ResidentProgram::handOver(InstanceChannel& channel) {
    const InstanceChannel::Reply reply = channel.requestReopen();
    if (reply.status == InstanceChannel::Reply::Status::done)
        return 0;
    std::fprintf(stderr,
                 "blinkwit: Blinkwit is already running but did not take the request (%s); not "
                 "starting a second copy\n",
                 qPrintable(reply.detail));
    return 1;
}

} // namespace Blinkwit
