#include "JsonFileDefaultsStore.h"

#include "StoredFile.h"
#include "TypedJsonValue.h"
#include "XdgFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace Blinkwit {

namespace {

// A live writer holds the lock for a read and a write of a small file. The lock file names its
// holder; a holder that died is noticed at once, and a live one is never robbed of it (QLockFile
// also holds a kernel lock that only the holder's exit releases).
constexpr int staleLockMilliseconds = 10000;
constexpr int lockWaitMilliseconds = 1000;
constexpr int quitLockWaitMilliseconds = 2000;
constexpr int firstRetryMilliseconds = 1000;
constexpr int longestRetryMilliseconds = 60000;
const QLatin1String largeValuesKey("largeValues");

void toStandardError(const QString& message) {
    std::fprintf(stderr, "blinkwit: %s\n", message.toLocal8Bit().constData());
}

bool isFolder(const QString& path) {
    return QFileInfo(path).isDir();
}

bool makeFolder(const QString& path) {
    return ::mkdir(QFile::encodeName(path).constData(), S_IRWXU) == 0 || errno == EEXIST;
}

QSet<QString> referencedLargeValues(const QJsonObject& entries) {
    QSet<QString> names;
    for (const QJsonValue& entry : entries)
        for (const QJsonValue& name : entry.toObject().value(largeValuesKey).toArray())
            names.insert(name.toString());
    return names;
}

} // namespace

JsonFileDefaultsStore::JsonFileDefaultsStore(QString filePath)
    : filePath_(std::move(filePath))
    , noticeSink_(toStandardError)
    , retryDelayMilliseconds_(firstRetryMilliseconds) {
    retryTimer_.setSingleShot(true);
    QObject::connect(&retryTimer_, &QTimer::timeout, [this] { flush(lockWaitMilliseconds); });
    if (filePath_.isEmpty()) {
        markUnusable(QStringLiteral("no home folder is known"));
        return;
    }
    if (std::optional<QJsonObject> read = readFile(false)) {
        entries_ = std::move(*read);
        return;
    }
    if (!unusableReason_.isEmpty())
        return;
    // Corrupt: moved aside with the lock held, so that no writer replaces it meanwhile.
    QLockFile lock(filePath_ + QStringLiteral(".lock"));
    lock.setStaleLockTime(staleLockMilliseconds);
    if (!lock.tryLock(lockWaitMilliseconds))
        return;
    if (std::optional<QJsonObject> read = readFile(true))
        entries_ = std::move(*read);
}

JsonFileDefaultsStore::~JsonFileDefaultsStore() {
    if (!flush(lockWaitMilliseconds) && !pending_.empty())
        tell(Problem::lostAtQuit, lastFailure_);
}

QString JsonFileDefaultsStore::standardPath() {
    const QString base = XdgFolders::configHome();
    return base.isEmpty() ? QString() : base + QStringLiteral("/blinkwit/defaults.json");
}

JsonFileDefaultsStore& JsonFileDefaultsStore::standard() {
    static auto* instance = new JsonFileDefaultsStore(standardPath());
    return *instance;
}

QVariant JsonFileDefaultsStore::value(const QString& key) const {
    return TypedJsonValue::decode(entries_.value(key));
}

void JsonFileDefaultsStore::setValue(const QString& key, const QVariant& value) {
    if (!TypedJsonValue::encode(value)) {
        lastWriteSucceeded_ = false;
        return;
    }
    update(key, [value](const QVariant&) { return Update{value}; });
}

void JsonFileDefaultsStore::remove(const QString& key) {
    change([key](QJsonObject& entries) { entries.remove(key); });
}

void JsonFileDefaultsStore::update(const QString& key, const Change& change) {
    this->change([this, key, change](QJsonObject& entries) { applyUpdate(entries, key, change); });
}

void JsonFileDefaultsStore::applyUpdate(QJsonObject& entries, const QString& key,
                                        const Change& change) {
    const QJsonValue stored = entries.value(key);
    const QVariant current = TypedJsonValue::decode(stored);
    const Update result = change(current);
    // A value this version cannot read may be a newer version's, or all that is left of the
    // user's data: it is never overwritten without a copy.
    const bool unreadable = !stored.isUndefined() && !current.isValid();
    if (unreadable || (result.setCurrentAside && current.isValid()))
        entries.insert(
            setAsideName(key, [&entries](const QString& name) { return entries.contains(name); }),
            stored);
    const std::optional<QJsonValue> encoded = TypedJsonValue::encode(result.value);
    if (!encoded) {
        entries.remove(key);
        return;
    }
    QJsonObject entry = encoded->toObject();
    if (!result.largeValues.isEmpty())
        entry.insert(largeValuesKey, QJsonArray::fromStringList(result.largeValues));
    entries.insert(key, entry);
}

void JsonFileDefaultsStore::putLarge(const QString& name, const QByteArray& bytes) {
    if (isLargeValueName(name))
        stagedLarge_.insert(name, bytes);
}

std::optional<QByteArray> JsonFileDefaultsStore::large(const QString& name) const {
    if (const auto staged = stagedLarge_.find(name); staged != stagedLarge_.end())
        return *staged;
    if (!isLargeValueName(name))
        return std::nullopt;
    StoredFile::Contents contents = StoredFile::read(largeValuePath(name), largestFileBytes);
    if (contents.status != StoredFile::Contents::Status::read)
        return std::nullopt;
    return std::move(contents.bytes);
}

// Memory first, so readers see the change at once; then the file, if it can be reached.
void JsonFileDefaultsStore::change(Edit edit) {
    edit(entries_);
    if (!unusableReason_.isEmpty()) {
        lastWriteSucceeded_ = false;
        return;
    }
    pending_.push_back(std::move(edit));
    // While earlier changes wait for a retry, this one joins them without waiting again.
    flush(pending_.size() > 1 ? 0 : lockWaitMilliseconds);
}

bool JsonFileDefaultsStore::flush(int lockWaitMilliseconds) {
    if (pending_.empty())
        return true;
    if (!unusableReason_.isEmpty() || !ensureFolder())
        return false;
    QLockFile lock(filePath_ + QStringLiteral(".lock"));
    lock.setStaleLockTime(staleLockMilliseconds);
    if (!lock.tryLock(lockWaitMilliseconds)) {
        if (lock.error() == QLockFile::LockFailedError) {
            lastFailure_ = QStringLiteral("another process holds its lock");
            return retryLater();
        }
        return fail(Problem::notSaved, QStringLiteral("its lock file cannot be created"));
    }
    std::optional<QJsonObject> current = readFile(true);
    if (!current)
        return false;
    for (const Edit& edit : pending_)
        edit(*current);
    entries_ = std::move(*current);
    if (const std::optional<QString> problem = commit(entries_))
        return fail(Problem::notSaved, *problem);
    pending_.clear();
    stagedLarge_.clear();
    retryTimer_.stop();
    retryDelayMilliseconds_ = firstRetryMilliseconds;
    lastWriteSucceeded_ = true;
    return true;
}

// Large values first, so the file never names one that is not on the disk; those no value
// names any more go last.
std::optional<QString> JsonFileDefaultsStore::commit(const QJsonObject& entries) {
    const QSet<QString> referenced = referencedLargeValues(entries);
    for (auto staged = stagedLarge_.cbegin(); staged != stagedLarge_.cend(); ++staged) {
        if (!referenced.contains(staged.key()))
            continue;
        if (!makeFolder(largeValuePath({})))
            return QString::fromLocal8Bit(std::strerror(errno));
        if (std::optional<QString> problem =
                StoredFile::replace(largeValuePath(staged.key()), staged.value()))
            return problem;
    }
    StoredFile::removeStaleTemporaries(filePath_);
    if (std::optional<QString> problem =
            StoredFile::replace(filePath_, QJsonDocument(entries).toJson(QJsonDocument::Indented)))
        return problem;
    removeUnreferencedLargeValues(referenced);
    return std::nullopt;
}

void JsonFileDefaultsStore::removeUnreferencedLargeValues(const QSet<QString>& referenced) const {
    const QDir folder(largeValuePath({}));
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (!referenced.contains(name))
            StoredFile::removeUnlessHeld(folder.filePath(name));
}

QString JsonFileDefaultsStore::largeValuePath(const QString& name) const {
    return QFileInfo(filePath_).absolutePath() + QStringLiteral("/large-values/") + name;
}

// Replaces entries_ with the file's content when it parses. A missing file means no values.
// None when the file must not be written: it cannot be used, or it is corrupt and could not be
// moved aside (which is done only with the lock held).
std::optional<QJsonObject> JsonFileDefaultsStore::readFile(bool locked) {
    const StoredFile::Contents contents = StoredFile::read(filePath_, largestFileBytes);
    if (contents.status == StoredFile::Contents::Status::unusable) {
        markUnusable(contents.problem);
        return std::nullopt;
    }
    // A missing or empty file holds nothing that could be lost.
    if (contents.bytes.isEmpty())
        return QJsonObject();
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(contents.bytes, &error);
    if (error.error == QJsonParseError::NoError && document.isObject())
        return document.object();
    if (!locked)
        return std::nullopt;
    if (!moveCorruptFileAside()) {
        markUnusable(QStringLiteral("it cannot be read as settings, nor moved aside: %1")
                         .arg(QString::fromLocal8Bit(std::strerror(errno))));
        return std::nullopt;
    }
    return QJsonObject();
}

bool JsonFileDefaultsStore::moveCorruptFileAside() {
    const QString target =
        setAsideName(filePath_, [](const QString& name) { return QFileInfo::exists(name); });
    if (::rename(QFile::encodeName(filePath_).constData(), QFile::encodeName(target).constData()) !=
        0)
        return false;
    setAsidePath_ = target;
    tell(Problem::setAside, target);
    return true;
}

// Makes the store's folder and, when missing, the configuration folder above it; never more,
// so a home folder that does not exist is never created.
bool JsonFileDefaultsStore::ensureFolder() {
    const QString folder = QFileInfo(filePath_).absolutePath();
    if (isFolder(folder))
        return true;
    const QString parent = QFileInfo(folder).absolutePath();
    const QString grandparent = QFileInfo(parent).absolutePath();
    if (!isFolder(parent) && !isFolder(grandparent)) {
        markUnusable(QStringLiteral("the folder %1 does not exist").arg(grandparent));
        return false;
    }
    if ((isFolder(parent) || makeFolder(parent)) && makeFolder(folder))
        return true;
    return fail(Problem::notSaved, QString::fromLocal8Bit(std::strerror(errno)));
}

bool JsonFileDefaultsStore::fail(Problem problem, const QString& detail) {
    lastFailure_ = detail;
    tell(problem, detail);
    return retryLater();
}

// Tries again later on the event loop, less often each time, and once more when the program
// quits. Without an event loop the owner calls flush().
bool JsonFileDefaultsStore::retryLater() {
    lastWriteSucceeded_ = false;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread())
        return false;
    if (!quitHooked_) {
        QObject::connect(application, &QCoreApplication::aboutToQuit, &retryTimer_,
                         [this] { flushAtQuit(); });
        quitHooked_ = true;
    }
    retryTimer_.start(retryDelayMilliseconds_);
    retryDelayMilliseconds_ = std::min(retryDelayMilliseconds_ * 2, longestRetryMilliseconds);
    return false;
}

void JsonFileDefaultsStore::flushAtQuit() {
    if (!flush(quitLockWaitMilliseconds) && !pending_.empty())
        tell(Problem::lostAtQuit, lastFailure_);
}

void JsonFileDefaultsStore::markUnusable(const QString& reason) {
    unusableReason_ = reason;
    // What waited for the file stays in memory, where it already is.
    pending_.clear();
    lastWriteSucceeded_ = false;
    tell(Problem::unusable, reason);
}

void JsonFileDefaultsStore::tell(Problem problem, const QString& detail) {
    if (!told_.insert(problem).second || !noticeSink_)
        return;
    noticeSink_(noticeText(problem, detail));
}

// The texts the user is told, in one place so that a window can show them as well.
QString JsonFileDefaultsStore::noticeText(Problem problem, const QString& detail) const {
    switch (problem) {
    case Problem::setAside:
        return QStringLiteral("%1 could not be read; it was moved to %2 and Blinkwit starts from "
                              "its defaults")
            .arg(filePath_, detail);
    case Problem::unusable:
        return QStringLiteral("settings and history in %1 are not used (%2); Blinkwit runs with "
                              "its defaults and leaves the file as it is")
            .arg(filePath_, detail);
    case Problem::notSaved:
        return QStringLiteral("cannot save settings and history to %1 (%2); the file keeps its "
                              "previous contents, and the changes are kept until they can be "
                              "saved")
            .arg(filePath_, detail);
    case Problem::lostAtQuit:
        break;
    }
    return QStringLiteral("changes to settings and history could not be saved to %1 (%2)")
        .arg(filePath_, detail);
}

} // namespace Blinkwit
