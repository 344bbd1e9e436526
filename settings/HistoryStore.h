#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <functional>
#include <optional>

namespace Blinkwit {

class DefaultsStore;

// The last texts the user read, newest first, kept in the defaults store as JSON. A text too
// large to keep there (its NFC form over largestInlineText bytes of UTF-8) is kept in a large
// value of its own, named by that form's SHA-256; the JSON then holds its beginning as "text" and
// the name as "textFile", so that starting up never reads it.
class HistoryStore final : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QUuid id;
        QDateTime date;
        // The text; for one kept apart, its first previewLength UTF-16 units (whole characters).
        QString text;
        // The large value holding the whole text; empty when text is the whole text.
        QString textFile;

        // The menu label: the first non-empty line, trimmed of spaces and tabs, cut to 44
        // user-perceived characters plus "…".
        QString title() const;
        bool operator==(const Entry&) const = default;
    };

    static constexpr const char* key = "readingHistory";
    static constexpr int capacity = 10;
    static constexpr int titleLength = 44;
    static constexpr qsizetype largestInlineText = 64 * 1024;
    static constexpr qsizetype previewLength = 4096;

    explicit HistoryStore(DefaultsStore& defaults, QObject* parent = nullptr);

    // The program's one history on the per-user defaults file; created on first use.
    static HistoryStore& shared();

    const QList<Entry>& entries() const { return entries_; }
    // Replaces the list (the menu's "Clear History" sets it empty); call persist() to store it.
    void setEntries(QList<Entry> entries);
    void clear();

    // Records a text read: trimmed, moved to the front if already there, capped at capacity.
    // Merged into the stored list as it is now, so entries other processes added survive.
    // A text no one else holds is trimmed in place.
    void add(QString text);
    // Stores entries() as they are, replacing the stored list.
    void persist();
    // The whole text of an entry: read from its large value when it was kept apart (its
    // beginning alone when that value is gone).
    QString wholeText(const Entry& entry) const;

    // The stored JSON form, and its reading; none when the data is not a valid history.
    static QByteArray encode(const QList<Entry>& entries);
    static std::optional<QList<Entry>> decode(const QByteArray& data);
    // Equal up to Unicode canonical equivalence, case-sensitive.
    static bool sameText(const QString& a, const QString& b);

signals:
    void aboutToChange();
    void entriesChanged();

private:
    // Runs change on the stored list under the store's update and takes the result as entries.
    void store(const std::function<QList<Entry>(QList<Entry> stored)>& change);

    DefaultsStore& defaults_;
    QList<Entry> entries_;
};

} // namespace Blinkwit
