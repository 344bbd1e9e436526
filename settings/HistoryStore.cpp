#include "HistoryStore.h"

#include "DefaultsStore.h"
#include "JsonFileDefaultsStore.h"

namespace Blinkwit {

QString HistoryStore::Entry::title() const {
    return text;
}

HistoryStore::HistoryStore(DefaultsStore& defaults, QObject* parent)
    : QObject(parent)
    , defaults_(defaults) {}

HistoryStore& HistoryStore::shared() {
    static auto* instance = new HistoryStore(JsonFileDefaultsStore::standard());
    return *instance;
}

void HistoryStore::setEntries(QList<Entry> entries) {
    emit aboutToChange();
    entries_ = std::move(entries);
    emit entriesChanged();
}

void HistoryStore::clear() {
    setEntries({});
    persist();
}

void HistoryStore::add(const QString&) {}
void HistoryStore::persist() {}

QByteArray HistoryStore::encode(const QList<Entry>&) {
    return {};
}
std::optional<QList<HistoryStore::Entry>> HistoryStore::decode(const QByteArray&) {
    return {};
}
bool HistoryStore::sameText(const QString& a, const QString& b) {
    return a == b;
}

} // namespace Blinkwit
