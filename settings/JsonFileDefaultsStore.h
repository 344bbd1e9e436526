#pragma once

#include "DefaultsStore.h"

#include <QHash>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>
#include <set>
#include <vector>

namespace Blinkwit {

// The per-user defaults store: one JSON object of typed entries in a file, large values in
// files of their own in the folder "large-values" beside it. Every write takes the file's lock,
// re-reads the file (so what other processes wrote meanwhile survives), applies the changes
// and replaces the file atomically; it never writes without the lock.
//
// Nothing the file holds is lost: a change that cannot be written (the lock is held, the disk is
// full) stays in memory and is tried again; a file that cannot be parsed is moved aside to
// "<file>.corrupt-<UTC time>" and read as empty; a value this version cannot read is kept under
// "<key>.corrupt-<UTC time>" before its key is overwritten. A file that cannot be used (not a
// regular file, unreadable, too large, in a home folder that does not exist) is left alone:
// the store then runs with its values in memory only. Each such problem is told to the user
// once.
class JsonFileDefaultsStore final : public DefaultsStore {
public:
    // Larger files are not read: the store holds settings and references to large values.
    static constexpr qint64 largestFileBytes = qint64(256) << 20;
    using NoticeSink = std::function<void(const QString& message)>;

    explicit JsonFileDefaultsStore(QString filePath);
    ~JsonFileDefaultsStore() override;

    // $XDG_CONFIG_HOME/blinkwit/defaults.json, with ~/.config when the variable is unset and
    // the password database's home folder when HOME is unset.
    static QString standardPath();
    // The program's one store on standardPath(); created on first use.
    static JsonFileDefaultsStore& standard();

    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;
    void update(const QString& key, const Change& change) override;
    void putLarge(const QString& name, const QByteArray& bytes) override;
    std::optional<QByteArray> large(const QString& name) const override;

    QString filePath() const { return filePath_; }
    // Where a corrupt file was moved during this session; empty when none was.
    QString setAsidePath() const { return setAsidePath_; }
    // False while changes wait in memory for the file, when the file is not used, and after a
    // value of a type the file cannot hold (it is dropped).
    bool lastWriteSucceeded() const { return lastWriteSucceeded_; }
    // Why the file is left alone this session; empty while it is used.
    QString unusableReason() const { return unusableReason_; }
    // Writes the changes waiting in memory, waiting up to lockWaitMilliseconds for the lock.
    // True when none waits afterwards.
    bool flush(int lockWaitMilliseconds);
    // Where messages for the user go; one line on standard error unless set. The sink may be
    // called until the store is destroyed.
    void setNoticeSink(NoticeSink sink) { noticeSink_ = std::move(sink); }

private:
    enum class Problem { setAside, unusable, notSaved, lostAtQuit };
    using Edit = std::function<void(QJsonObject& entries)>;

    void change(Edit edit);
    void applyUpdate(QJsonObject& entries, const QString& key, const Change& change);
    std::optional<QJsonObject> readFile(bool locked);
    bool moveCorruptFileAside();
    bool ensureFolder();
    std::optional<QString> commit(const QJsonObject& entries);
    void removeUnreferencedLargeValues(const QSet<QString>& referenced) const;
    QString largeValuePath(const QString& name) const;
    bool retryLater();
    void flushAtQuit();
    void markUnusable(const QString& reason);
    void tell(Problem problem, const QString& detail);
    bool fail(Problem problem, const QString& detail);
    QString noticeText(Problem problem, const QString& detail) const;

    QString filePath_;
    // Entries as stored: {"type": ..., "value": ...}. Entries of unknown type are kept verbatim
    // so a newer program's values survive this one's writes.
    QJsonObject entries_;
    // Changes not yet in the file, in order; each is applied again to the file's newest content.
    std::vector<Edit> pending_;
    // Large values not yet written.
    QHash<QString, QByteArray> stagedLarge_;
    QString setAsidePath_;
    QString unusableReason_;
    bool lastWriteSucceeded_ = true;
    std::set<Problem> told_;
    QString lastFailure_;
    NoticeSink noticeSink_;
    QTimer retryTimer_;
    int retryDelayMilliseconds_;
    bool quitHooked_ = false;
};

} // namespace Blinkwit
