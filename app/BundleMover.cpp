#include "BundleMover.h"

#include "BlinkwitIcon.h"
#include "bundle/Bundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace Blinkwit {

namespace fs = std::filesystem;

namespace {

fs::path pathOf(const QString& path) {
    return fs::path(path.toStdString());
}

QString nameOf(const fs::path& path) {
    return QString::fromStdString(path.string());
}

QString failure(const QString& what, const std::error_code& error) {
    return what + QStringLiteral(" (") + QString::fromStdString(error.message()) +
           QStringLiteral(").");
}

// Folders of our own beside the destination, unique to this process.
fs::path besideDestination(const fs::path& destination, const char* purpose) {
    return destination.parent_path() / ("." + destination.filename().string() + "." + purpose +
                                        "-" + std::to_string(QCoreApplication::applicationPid()));
}

// The Exec key's quoting: the argument in double quotes with ", `, $ and \ escaped, then every
// backslash doubled as the key is a string, and % doubled as field codes use it.
QString quotedExec(const QString& executable) {
    QString quoted;
    for (const QChar c : executable) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += QStringLiteral("\\\\");
        if (c == u'\\')
            quoted += QStringLiteral("\\");
        quoted += c;
        if (c == u'%')
            quoted += c;
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

bool writeIcon(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && BlinkwitIcon::image(256).save(&file, "PNG") &&
           file.commit();
}

} // namespace

std::optional<QString> BundleMover::install(const Bundle& source, const QString& destination,
                                            const QString& dataHome) {
    const fs::path target = pathOf(QDir::cleanPath(destination));
    std::error_code error;
    fs::create_directories(target.parent_path(), error);
    if (error)
        return failure(nameOf(target.parent_path()) + QStringLiteral(" can't be created"), error);
    if (fs::exists(fs::symlink_status(target)) &&
        !Bundle::containing(nameOf(target / "bin" / "blinkwit")))
        return nameOf(target) +
               QStringLiteral(" exists and is not a copy of Blinkwit; move it away and try again.");
    const fs::path staging = besideDestination(target, "partial");
    if (auto failed = copyBeside(source, nameOf(target), nameOf(staging)))
        return failed;
    if (auto failed = swapIn(nameOf(staging), nameOf(target)))
        return failed;
    if (auto failed = installDesktopEntry(nameOf(target), dataHome))
        std::fprintf(stderr, "blinkwit: %s\n", qPrintable(*failed));
    return std::nullopt;
}

std::optional<QString> BundleMover::copyBeside(const Bundle& source, const QString& destination,
                                               const QString& staging) {
    std::error_code error;
    fs::remove_all(pathOf(staging), error);
    fs::copy(pathOf(source.path()), pathOf(staging),
             fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
    if (!error)
        return std::nullopt;
    std::error_code ignored;
    fs::remove_all(pathOf(staging), ignored);
    return failure(QStringLiteral("Blinkwit can't be copied to ") +
                       nameOf(pathOf(destination).parent_path()),
                   error);
}

// The old copy is renamed aside, not removed, until the new one is in place.
std::optional<QString> BundleMover::swapIn(const QString& staging, const QString& destination) {
    const fs::path target = pathOf(destination);
    const fs::path old = besideDestination(target, "old");
    std::error_code error;
    std::error_code ignored;
    const bool replacing = fs::exists(fs::symlink_status(target));
    if (replacing) {
        fs::remove_all(old, ignored);
        fs::rename(target, old, error);
    }
    if (!error)
        fs::rename(pathOf(staging), target, error);
    if (!error) {
        fs::remove_all(old, ignored);
        return std::nullopt;
    }
    if (replacing && !fs::exists(fs::symlink_status(target)))
        fs::rename(old, target, ignored);
    fs::remove_all(pathOf(staging), ignored);
    return failure(destination + QStringLiteral(" can't be replaced"), error);
}

std::optional<QString> BundleMover::installDesktopEntry(const QString& destination,
                                                        const QString& dataHome) {
    const QString executable = Bundle(destination).executablePath();
    const QString entry =
        dataHome + QStringLiteral("/applications/") + QLatin1String(desktopEntryName);
    if (!writeFile(entry, desktopEntry(executable).toUtf8()))
        return QStringLiteral("the desktop entry %1 can't be written").arg(entry);
    const QString icon = dataHome + QStringLiteral("/icons/hicolor/256x256/apps/") +
                         QLatin1String(iconName) + QStringLiteral(".png");
    if (!writeIcon(icon))
        return QStringLiteral("the icon %1 can't be written").arg(icon);
    return std::nullopt;
}

QString BundleMover::dataHome() {
    const QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        return QDir::homePath() + QStringLiteral("/.local/share");
    return base;
}

QString BundleMover::desktopEntry(const QString& executable) {
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Blinkwit\n"
                          "GenericName=Speed Reader\n"
                          "Comment=Speed-read the selection, the clipboard or a screen region\n"
                          "Exec=%1\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "Categories=Utility;\n")
        .arg(quotedExec(executable), QLatin1String(iconName));
}

} // namespace Blinkwit
