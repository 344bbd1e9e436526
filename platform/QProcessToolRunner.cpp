#include "QProcessToolRunner.h"

#include <QProcess>

namespace Blinkwit {

ToolRunner::Result QProcessToolRunner::run(const QString& path, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(path, arguments);
    if (!process.waitForStarted(-1))
        return {-1, process.errorString()};
    process.waitForFinished(-1);
    const QString output = QString::fromUtf8(process.readAll());
    if (process.exitStatus() == QProcess::CrashExit)
        return {-1, output + process.errorString()};
    return {process.exitCode(), output};
}

} // namespace Blinkwit
