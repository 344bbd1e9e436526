#pragma once

#include <QString>
#include <QVariant>

namespace Blinkwit {

// The per-user defaults store. Values keep their type: qint64 (integer), double, bool,
// QString, QByteArray (data), QDateTime (date) and QVariantList (array of those). A missing key
// reads as an invalid QVariant; callers fall back to their default when the type is not the
// one they expect.
class DefaultsStore {
public:
    virtual ~DefaultsStore() = default;

    virtual QVariant value(const QString& key) const = 0;
    virtual void setValue(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;
};

} // namespace Blinkwit
