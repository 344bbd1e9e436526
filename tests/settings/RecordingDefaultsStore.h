#pragma once

#include "settings/InMemoryDefaultsStore.h"

#include <QStringList>

namespace Blinkwit::Testing {

// An in-memory store that remembers which keys were written, in order.
class RecordingDefaultsStore final : public DefaultsStore {
public:
    QVariant value(const QString& key) const override { return values.value(key); }
    void setValue(const QString& key, const QVariant& value) override {
        written.append(key);
        values.setValue(key, value);
    }
    void remove(const QString& key) override { values.remove(key); }
    void putLarge(const QString& name, const QByteArray& bytes) override {
        values.putLarge(name, bytes);
    }
    std::optional<QByteArray> large(const QString& name) const override {
        return values.large(name);
    }

    InMemoryDefaultsStore values;
    QStringList written;
};

} // namespace Blinkwit::Testing
