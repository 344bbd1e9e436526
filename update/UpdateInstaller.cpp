#include "UpdateInstaller.h"

#include "SwapScript.h"
#include "UpdateTexts.h"
#include "bundle/Bundle.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QUuid>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace Blinkwit {

namespace {

using Case = UpdateError::Case;

UpdateError failure(Case kind, const ToolRunner::Result& result) {
    return UpdateError(kind, result.output.trimmed());
}

// A private folder in the shared temporary directory; an error shows in the step that uses it.
void makePrivateFolder(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QDir().mkdir(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

UpdateInstaller::UpdateInstaller(ToolRunner& tools, RunningCopy running, QString temporaryDirectory)
    : tools_(tools)
    , running_(std::move(running))
    , temporaryDirectory_(std::move(temporaryDirectory)) {}

std::optional<QString> UpdateInstaller::value(const QString& key, const QString& text) {
    const QString prefix = key + QLatin1Char('=');
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed();
    return std::nullopt;
}

QString UpdateInstaller::logPath() {
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    return (state.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/state") : state) +
           QStringLiteral("/blinkwit/update.log");
}

QString UpdateInstaller::freshPath(const QString& prefix, const QString& suffix) const {
    return temporaryDirectory_ + QLatin1Char('/') + prefix +
           QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + suffix;
}

std::variant<QString, UpdateError> UpdateInstaller::verifyAndStage(const QString& image) {
    if (!running_.bundle)
        return UpdateError(Case::notInstalled, QString::fromUtf8(UpdateTexts::fromBuildFolder));
    const ToolRunner::Result assessment =
        tools_.run(running_.executable, {QStringLiteral("image"), QStringLiteral("assess"), image});
    if (assessment.status != 0)
        return failure(Case::gatekeeperRejected, assessment);

    const QString unpacked = freshPath(QStringLiteral("BlinkwitUpdate-"));
    makePrivateFolder(unpacked);
    const ToolRunner::Result unpacking = tools_.run(
        running_.executable, {QStringLiteral("image"), QStringLiteral("unpack"), image, unpacked});
    std::variant<QString, UpdateError> outcome =
        unpacking.status != 0 ? failure(Case::mountFailed, unpacking) : checkAndCopy(unpacked);
    QDir(unpacked).removeRecursively();
    return outcome;
}

std::variant<QString, UpdateError> UpdateInstaller::checkAndCopy(const QString& unpacked) {
    const QString app = unpacked + QStringLiteral("/Blinkwit.app");
    if (!QFileInfo::exists(app))
        return UpdateError(Case::noAppInside);
    const ToolRunner::Result verification =
        tools_.run(running_.executable, {QStringLiteral("bundle"), QStringLiteral("verify"), app});
    if (verification.status != 0)
        return failure(Case::gatekeeperRejected, verification);
    const QString details =
        tools_.run(running_.executable, {QStringLiteral("bundle"), QStringLiteral("describe"), app})
            .output;
    const std::optional<QString> team = value(QStringLiteral("TeamIdentifier"), details);
    if (!team || running_.signer.isEmpty() || *team != running_.signer)
        return UpdateError(Case::wrongTeam,
                           team.value_or(QString::fromUtf8(UpdateTexts::unknownTeam)));
    const std::optional<QString> identifier = value(QStringLiteral("Identifier"), details);
    if (identifier != QLatin1String(Bundle::identifier))
        return UpdateError(Case::wrongTeam,
                           identifier.value_or(QString::fromUtf8(UpdateTexts::unknownBundle)));

    const QString stage = freshPath(QStringLiteral("BlinkwitStage-"));
    makePrivateFolder(stage);
    const QString staged = stage + QStringLiteral("/Blinkwit.app");
    const ToolRunner::Result copy =
        tools_.run(QStringLiteral("/bin/cp"), {QStringLiteral("-a"), app, staged});
    if (copy.status != 0)
        return failure(Case::copyFailed, copy);
    return staged;
}

std::optional<QString> UpdateInstaller::swapAndRelaunch(const QString& staged) {
    std::optional<QString> error = startSwap(staged);
    // Nothing will use the staged copy now: don't leave a whole bundle in the temporary folder.
    const QFileInfo stage(QFileInfo(staged).path());
    if (error && stage.fileName().startsWith(QLatin1String("BlinkwitStage-")) &&
        stage.absolutePath() == QFileInfo(temporaryDirectory_).absoluteFilePath())
        QDir(stage.filePath()).removeRecursively();
    return error;
}

std::optional<QString> UpdateInstaller::startSwap(const QString& staged) {
    const auto notInstalled = [](const char* where) {
        return UpdateError(Case::notInstalled, QString::fromUtf8(where)).description();
    };
    if (!running_.bundle)
        return notInstalled(UpdateTexts::fromBuildFolder);
    switch (running_.location()) {
    case RunningCopy::Location::diskImage:
        return notInstalled(UpdateTexts::fromDiskImage);
    case RunningCopy::Location::translocated:
        return notInstalled(UpdateTexts::fromTemporaryCopy);
    case RunningCopy::Location::installed:
        break;
    }
    const QString script = freshPath(QStringLiteral("blinkwit-swap-"), QStringLiteral(".sh"));
    QSaveFile file(script);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(SwapScript::text(*running_.bundle, staged, running_.process).toUtf8()) < 0 ||
        !file.commit())
        return file.errorString();
    if (::chmod(QFile::encodeName(script).constData(), 0755) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    QDir().mkpath(QFileInfo(logPath()).absolutePath());
    const ToolRunner::Result start =
        tools_.run(QStringLiteral("/bin/bash"),
                   {QStringLiteral("-c"),
                    QStringLiteral("nohup %1 >%2 2>&1 &")
                        .arg(SwapScript::quoted(script), SwapScript::quoted(logPath()))});
    if (start.status == -1)
        return start.output;
    return std::nullopt;
}

} // namespace Blinkwit
