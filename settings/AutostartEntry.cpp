#include "AutostartEntry.h"

#include "XdgFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Blinkwit {

namespace {

// Entries are small; a larger file is not one we could have written, and is not read whole.
constexpr qint64 largestEntryBytes = 64 * 1024;

bool switchedOff(const QByteArray& entry) {
    for (const QByteArray& line : entry.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed == "Hidden=true" || trimmed == "X-GNOME-Autostart-enabled=false")
            return true;
    }
    return false;
}

} // namespace

AutostartEntry::AutostartEntry(QString filePath, QString contents)
    : filePath_(std::move(filePath))
    , contents_(std::move(contents)) {}

QString AutostartEntry::standardPath() {
    const QString base = XdgFolders::configHome();
    return base.isEmpty() ? QString()
                          : base + QStringLiteral("/autostart/") + QLatin1String(fileName);
}

bool AutostartEntry::isEnabled() const {
    QFile file(filePath_);
    if (filePath_.isEmpty() || !QFileInfo(file).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    return !switchedOff(file.read(largestEntryBytes));
}

std::optional<QString> AutostartEntry::setEnabled(bool enabled) {
    if (filePath_.isEmpty())
        return QStringLiteral("No home folder is known, so there is no autostart folder.");
    return enabled ? write() : remove();
}

std::optional<QString> AutostartEntry::write() {
    const QString folder = QFileInfo(filePath_).absolutePath();
    if (!QDir().mkpath(folder))
        return QStringLiteral("The folder %1 can't be created.").arg(folder);
    QSaveFile file(filePath_);
    const QByteArray bytes = contents_.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("%1 can't be written (%2).").arg(filePath_, file.errorString());
    return std::nullopt;
}

std::optional<QString> AutostartEntry::remove() {
    QFile file(filePath_);
    if (!QFileInfo::exists(filePath_) && !QFileInfo(filePath_).isSymLink())
        return std::nullopt;
    if (!file.remove())
        return QStringLiteral("%1 can't be removed (%2).").arg(filePath_, file.errorString());
    return std::nullopt;
}

} // namespace Blinkwit
