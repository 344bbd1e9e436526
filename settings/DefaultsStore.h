#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

namespace Blinkwit {

// The per-user defaults store. Values keep their type: qint64 (integer), double, bool,
// QString, QByteArray (data), QDateTime (date) and QVariantList (array of those). A missing key
// reads as an invalid QVariant; callers fall back to their default when the type is not the
// one they expect.
class DefaultsStore {
public:
    // What update() puts under its key.
    struct Update {
        // The new value; an invalid one removes the key.
        QVariant value;
        // The value found was not one the caller could read: it is kept under
        // setAsideName(key) rather than lost.
        bool setCurrentAside = false;
        // Names given to putLarge() that the new value refers to; the others are removed once
        // no value refers to them.
        QStringList largeValues;
    };
    using Change = std::function<Update(const QVariant& current)>;

    virtual ~DefaultsStore() = default;

    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;
    // Replaces the value under key with change(current value) as one step: a store that other
    // processes share runs change on the value they left, so that nothing they wrote meanwhile
    // is lost. change may run more than once, on newer values each time.
    virtual void update(const QString& key, const Change& change);

    // Large values live apart from the others, so that reading the store does not read them.
    // The bytes are kept under name (letters, digits, '.', '_', '-') and reach the disk with the
    // first update whose largeValues names them.
    virtual void putLarge(const QString& name, const QByteArray& bytes) = 0;
    // None when nothing is stored under name.
    virtual std::optional<QByteArray> large(const QString& name) const = 0;

    // "<name>.corrupt-<UTC time>", with "-2", "-3" ... appended while taken says it is in use.
    static QString setAsideName(const QString& name,
                                const std::function<bool(const QString&)>& taken);
    static bool isLargeValueName(const QString& name);
};

} // namespace Blinkwit
