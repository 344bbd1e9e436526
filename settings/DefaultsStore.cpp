#include "DefaultsStore.h"

#include <QDateTime>
#include <QRegularExpression>

namespace Blinkwit {

void DefaultsStore::update(const QString& key, const Change& change) {
    const QVariant current = value(key);
    const Update result = change(current);
    if (result.setCurrentAside && current.isValid())
        setValue(setAsideName(key, [this](const QString& name) { return value(name).isValid(); }),
                 current);
    if (result.value.isValid())
        setValue(key, result.value);
    else
        remove(key);
}

QString DefaultsStore::setAsideName(const QString& name,
                                    const std::function<bool(const QString&)>& taken) {
    const QString base =
        name + QStringLiteral(".corrupt-") +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QString candidate = base;
    for (int attempt = 2; taken(candidate); ++attempt)
        candidate = base + QLatin1Char('-') + QString::number(attempt);
    return candidate;
}

bool DefaultsStore::isLargeValueName(const QString& name) {
    static const QRegularExpression allowed(QStringLiteral("^[A-Za-z0-9][A-Za-z0-9._-]{0,127}$"));
    return allowed.match(name).hasMatch();
}

} // namespace Blinkwit
