#pragma once

#include "DefaultsStore.h"

#include <QHash>
#include <QJsonObject>
#include <QString>

namespace Blinkwit {

// The per-user defaults store: one JSON object of typed entries in a file. Every write locks
// the file, re-reads it (so keys another process wrote meanwhile survive), applies the change
// and replaces the file atomically. A file that cannot be parsed is moved aside to
// "<file>.corrupt-<UTC time>" and read as empty; if it cannot be moved aside, the store keeps
// changes in memory only rather than overwrite it.
class JsonFileDefaultsStore final : public DefaultsStore {
public:
    explicit JsonFileDefaultsStore(QString filePath);

    // $XDG_CONFIG_HOME/blinkwit/defaults.json, with ~/.config when the variable is unset.
    static QString standardPath();
    // The program's one store on standardPath(); created on first use.
    static JsonFileDefaultsStore& standard();

    QVariant value(const QString& key) const override;
    void setValue(const QString& key, const QVariant& value) override;
    void remove(const QString& key) override;

    QString filePath() const { return filePath_; }
    // Where a corrupt file was moved during this session; empty when none was.
    QString setAsidePath() const { return setAsidePath_; }
    // False after a write that could not reach the file (the value is still kept in memory), or
    // of a value of a type the file cannot hold (it is dropped).
    bool lastWriteSucceeded() const { return lastWriteSucceeded_; }

private:
    bool readFile();
    bool moveCorruptFileAside();
    void modify(const QString& key, const QJsonObject* entry);
    bool writeFile() const;

    QString filePath_;
    // Entries as stored: {"type": ..., "value": ...}. Entries of unknown type are kept verbatim
    // so a newer program's values survive this one's writes.
    QJsonObject entries_;
    QString setAsidePath_;
    bool lastWriteSucceeded_ = true;
};

} // namespace Blinkwit
