#include "X11Testing.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QThread>

namespace Blinkwit::Testing {

bool x11Available() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

bool waitFor(const std::function<bool()>& condition, int limitMilliseconds) {
    QDeadlineTimer deadline(limitMilliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

std::optional<QString> runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    // Never block in waitForFinished: the tool may be reading a selection that we own.
    if (!waitFor([&] { return process.state() == QProcess::NotRunning; }, 10000)) {
        process.kill();
        waitFor([&] { return process.state() == QProcess::NotRunning; });
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

ChildProcess::ChildProcess(const QString& program, const QStringList& arguments) {
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(program, arguments);
}

ChildProcess::~ChildProcess() {
    process_.kill();
    waitFor([&] { return process_.state() == QProcess::NotRunning; });
}

QString ChildProcess::firstLine() {
    waitFor([&] { return process_.canReadLine() || process_.state() == QProcess::NotRunning; },
            10000);
    return QString::fromUtf8(process_.readLine()).trimmed();
}

} // namespace Blinkwit::Testing
