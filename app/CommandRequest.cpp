#include "CommandRequest.h"

#include "InstanceChannel.h"
#include "ResidentCommands.h"
#include "platform/DBusInstanceChannel.h"

#include <QCoreApplication>
#include <cstdio>

namespace Blinkwit {

QString CommandRequest::usage() {
    return QStringLiteral("usage: blinkwit --command %1\n").arg(ResidentCommands::names());
}

int CommandRequest::run(const std::vector<std::string_view>& args) {
    const QString name =
        args.size() == 1 ? QString::fromUtf8(args[0].data(), qsizetype(args[0].size())) : QString();
    if (!ResidentCommands::find(name)) {
        if (args.size() == 1)
            std::fprintf(stderr, "blinkwit: unknown command '%s'\n", qPrintable(name));
        std::fputs(qPrintable(usage()), stderr);
        return 2;
    }
    static int qtArgc = 1;
    static char program[] = "blinkwit";
    static char* qtArgv[] = {program, nullptr};
    QCoreApplication app(qtArgc, qtArgv);
    DBusInstanceChannel channel;
    return send(channel, name);
}

int CommandRequest::send(InstanceChannel& channel, const QString& name) {
    using Status = InstanceChannel::Reply::Status;
    const InstanceChannel::Reply reply = channel.requestCommand(name);
    switch (reply.status) {
    case Status::done:
        return 0;
    case Status::notRunning:
        std::fputs("blinkwit: Blinkwit is not running; start it with blinkwit\n", stderr);
        return 1;
    case Status::unavailable:
        std::fprintf(stderr, "blinkwit: no session bus to reach Blinkwit on (%s)\n",
                     qPrintable(reply.detail));
        return 1;
    case Status::failed:
        std::fprintf(stderr, "blinkwit: the running Blinkwit did not take the command (%s)\n",
                     qPrintable(reply.detail));
        return 1;
    }
    return 1;
}

} // namespace Blinkwit
