#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QUuid>
#include <QVariant>
#include <optional>

namespace Blinkwit {

class DefaultsStore;

// The last texts the user read, newest first, kept in the defaults store as JSON.
class HistoryStore final : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QUuid id;
        QDateTime date;
        QString text;

        // The menu label: the first non-empty line, trimmed of spaces and tabs, cut to 44
        // user-perceived characters plus "…".
        QString title() const;
        bool operator==(const Entry&) const = default;
    };

    static constexpr const char* key = "readingHistory";
    static constexpr int capacity = 10;
    static constexpr int titleLength = 44;

    explicit HistoryStore(DefaultsStore& defaults, QObject* parent = nullptr);

    // The program's one history on the per-user defaults file; created on first use.
    static HistoryStore& shared();

    const QList<Entry>& entries() const { return entries_; }
    // Replaces the list (the menu's "Clear History" sets it empty); call persist() to store it.
    void setEntries(QList<Entry> entries);
    void clear();

    // Records a text read: trimmed, moved to the front if already there, capped at capacity.
    void add(const QString& text);
    void persist();

    // The stored JSON form, and its reading; none when the data is not a valid history.
    static QByteArray encode(const QList<Entry>& entries);
    static std::optional<QList<Entry>> decode(const QByteArray& data);
    // Equal up to Unicode canonical equivalence, case-sensitive.
    static bool sameText(const QString& a, const QString& b);

signals:
    void aboutToChange();
    void entriesChanged();

private:
    void load();
    void keepUnreadableAside();

    DefaultsStore& defaults_;
    QList<Entry> entries_;
    // What was under the key but could not be read; saved under another key before the first
    // write so the next add does not destroy it.
    QVariant unreadable_;
};

} // namespace Blinkwit
