#include "JsonFileDefaultsStore.h"

#include "TypedJsonValue.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLockFile>
#include <QSaveFile>

namespace Blinkwit {

namespace {

// Writers hold the lock for a read and a write of a small file; a lock older than this belongs
// to a process that died holding it.
constexpr int staleLockMilliseconds = 10000;
constexpr int lockWaitMilliseconds = 5000;

QString timestampForFileName() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

} // namespace

JsonFileDefaultsStore::JsonFileDefaultsStore(QString filePath)
    : filePath_(std::move(filePath)) {
    readFile();
}

QString JsonFileDefaultsStore::standardPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are invalid by the base-directory rules and must be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/blinkwit/defaults.json");
}

JsonFileDefaultsStore& JsonFileDefaultsStore::standard() {
    static auto* instance = new JsonFileDefaultsStore(standardPath());
    return *instance;
}

QVariant JsonFileDefaultsStore::value(const QString& key) const {
    return TypedJsonValue::decode(entries_.value(key));
}

void JsonFileDefaultsStore::setValue(const QString& key, const QVariant& value) {
    const std::optional<QJsonValue> entry = TypedJsonValue::encode(value);
    if (!entry) {
        lastWriteSucceeded_ = false;
        return;
    }
    const QJsonObject object = entry->toObject();
    modify(key, &object);
}

void JsonFileDefaultsStore::remove(const QString& key) {
    modify(key, nullptr);
}

// Lock, take in what other processes wrote since our last look, apply the one change, replace.
void JsonFileDefaultsStore::modify(const QString& key, const QJsonObject* entry) {
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    QLockFile lock(filePath_ + QStringLiteral(".lock"));
    lock.setStaleLockTime(staleLockMilliseconds);
    // Without the lock the re-read still keeps the window for a lost key small.
    const bool locked = lock.tryLock(lockWaitMilliseconds);
    const bool replaceable = readFile();
    if (entry)
        entries_.insert(key, *entry);
    else
        entries_.remove(key);
    lastWriteSucceeded_ = replaceable && writeFile();
    if (locked)
        lock.unlock();
}

// Replaces entries_ with the file's content when it parses. A missing file means no values.
// A corrupt or unreadable one is moved aside first and the values in memory stay as they were.
// Returns false when such a file could not be moved: then it must not be overwritten.
bool JsonFileDefaultsStore::readFile() {
    QFile file(filePath_);
    if (!file.exists()) {
        entries_ = {};
        return true;
    }
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        file.close();
        // An empty file holds nothing that could be lost.
        if (bytes.isEmpty()) {
            entries_ = {};
            return true;
        }
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
        if (error.error == QJsonParseError::NoError && document.isObject()) {
            entries_ = document.object();
            return true;
        }
    }
    return moveCorruptFileAside();
}

bool JsonFileDefaultsStore::moveCorruptFileAside() {
    const QString base = filePath_ + QStringLiteral(".corrupt-") + timestampForFileName();
    QString target = base;
    for (int attempt = 2; QFileInfo::exists(target); ++attempt)
        target = base + QLatin1Char('-') + QString::number(attempt);
    if (!QFile::rename(filePath_, target))
        return false;
    setAsidePath_ = target;
    return true;
}

bool JsonFileDefaultsStore::writeFile() const {
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = QJsonDocument(entries_).toJson(QJsonDocument::Indented);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace Blinkwit
