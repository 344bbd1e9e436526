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
    void putLarge(const QString& name, const QByteArray& bytes) override {
        large_.insert(name, bytes);
    }
    std::optional<QByteArray> large(const QString& name) const override {
        const auto found = large_.find(name);
        return found == large_.end() ? std::nullopt : std::optional<QByteArray>(*found);
    }

private:
    QHash<QString, QVariant> values_;
    QHash<QString, QByteArray> large_;
};

} // namespace Blinkwit
