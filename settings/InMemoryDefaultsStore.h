#pragma once

#include "DefaultsStore.h"

#include <QHash>

namespace Blinkwit {

// A defaults store that lives as long as the object: for tests and throw-away sessions.
class InMemoryDefaultsStore final : public DefaultsStore {
public:
    QVariant value(const QString& key) const override { return values_.value(key); }
    void setValue(const QString& key, const QVariant& value) override {
        values_.insert(key, value);
    }
    void remove(const QString& key) override { values_.remove(key); }

private:
    QHash<QString, QVariant> values_;
};

} // namespace Blinkwit
