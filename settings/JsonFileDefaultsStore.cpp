#include "JsonFileDefaultsStore.h"

#include <QDir>

namespace Blinkwit {

JsonFileDefaultsStore::JsonFileDefaultsStore(QString filePath)
    : filePath_(std::move(filePath)) {}

QString JsonFileDefaultsStore::standardPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/blinkwit/defaults.json");
}

JsonFileDefaultsStore& JsonFileDefaultsStore::standard() {
    static auto* instance = new JsonFileDefaultsStore(standardPath());
    return *instance;
}

QVariant JsonFileDefaultsStore::value(const QString&) const {
    return {};
}
void JsonFileDefaultsStore::setValue(const QString&, const QVariant&) {}
void JsonFileDefaultsStore::remove(const QString&) {}

} // namespace Blinkwit
