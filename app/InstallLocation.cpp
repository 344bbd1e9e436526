#include "InstallLocation.h"

#include "bundle/Bundle.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace Blinkwit {

namespace {

bool isInside(const QString& path, const QString& folder) {
    // An empty or root folder contains nothing here ("//" starts no clean path).
    const QString clean = QDir::cleanPath(folder);
    return !clean.isEmpty() && path.startsWith(clean + QLatin1Char('/'));
}

bool isInsideAny(const QString& path, std::initializer_list<QString> folders) {
    return std::any_of(folders.begin(), folders.end(),
                       [&](const QString& folder) { return isInside(path, folder); });
}

// The folder as the bundle's canonical path would show it (TMPDIR may be a link).
QString canonical(const QString& folder) {
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    return resolved.isEmpty() ? folder : resolved;
}

} // namespace

InstallLocation InstallLocationRules::classify(const std::optional<QString>& bundlePath,
                                               const QString& temporaryFolder,
                                               const QString& home) {
    if (!bundlePath)
        return InstallLocation::elsewhere;
    const QString path = QDir::cleanPath(*bundlePath);
    if (isInside(path, temporaryFolder))
        return InstallLocation::translocated;
    if (isInsideAny(
            path, {QStringLiteral("/media"), QStringLiteral("/run/media"), QStringLiteral("/mnt")}))
        return InstallLocation::diskImage;
    if (isInsideAny(path, {home + QStringLiteral("/Applications"), QStringLiteral("/Applications"),
                           QStringLiteral("/opt")}))
        return InstallLocation::inApplications;
    return InstallLocation::elsewhere;
}

InstallLocation InstallLocationRules::current() {
    const std::optional<Bundle> bundle = Bundle::running();
    QString temporary = qEnvironmentVariable("TMPDIR");
    if (temporary.isEmpty() || !QDir::isAbsolutePath(temporary))
        temporary = QStringLiteral("/tmp");
    return classify(bundle ? std::optional(bundle->path()) : std::nullopt, canonical(temporary),
                    canonical(QDir::homePath()));
}

bool InstallLocationRules::isInstalled(InstallLocation location) {
    return location != InstallLocation::diskImage && location != InstallLocation::translocated;
}

QString InstallLocationRules::installedPath() {
    return QDir::homePath() + QStringLiteral("/Applications/Blinkwit.app");
}

} // namespace Blinkwit
