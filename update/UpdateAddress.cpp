#include "UpdateAddress.h"

#include <QHostAddress>

namespace Blinkwit {

QUrl UpdateAddress::manifest(const QUrl& builtIn) {
    const QString override = qEnvironmentVariable(environmentVariable);
    return override.isEmpty() ? builtIn : QUrl(override, QUrl::StrictMode);
}

bool UpdateAddress::isAllowed(const QUrl& address) {
    if (!address.isValid() || address.host().isEmpty())
        return false;
    if (address.scheme() == QLatin1String("https"))
        return true;
    return address.scheme() == QLatin1String("http") &&
           (address.host() == QLatin1String("localhost") ||
            QHostAddress(address.host()).isLoopback());
}

} // namespace Blinkwit
