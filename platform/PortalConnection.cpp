#include "PortalConnection.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QRandomGenerator>
#include <atomic>

namespace Blinkwit {

namespace {

constexpr const char* registryInterface = "org.freedesktop.host.portal.Registry";

QString uniqueConnectionName() {
    static std::atomic<int> count = 0;
    return QStringLiteral("blinkwit-portal-%1").arg(++count);
}

// Portals before the host registry (xdg-desktop-portal < 1.19) lack the method or interface:
// they identify unsandboxed programs without it.
bool meansNotNeeded(const QString& error) {
    return error == QLatin1String("org.freedesktop.DBus.Error.UnknownMethod") ||
           error == QLatin1String("org.freedesktop.DBus.Error.UnknownInterface") ||
           error == QLatin1String("org.freedesktop.DBus.Error.UnknownObject");
}

} // namespace

PortalConnection::PortalConnection(QString appId, Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , scheduler_(scheduler)
    , connectionName_(uniqueConnectionName())
    , bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_)) {
    registerApplication(appId);
}

PortalConnection::~PortalConnection() {
    QDBusConnection::disconnectFromBus(connectionName_);
}

void PortalConnection::registerApplication(const QString& appId) {
    if (!bus_.isConnected())
        return registered(Registration::failed, bus_.lastError().message());
    QDBusMessage message = QDBusMessage::createMethodCall(
        QLatin1String(service), QLatin1String(objectPath), QLatin1String(registryInterface),
        QStringLiteral("Register"));
    message << appId << QVariantMap();
    auto* watcher =
        new QDBusPendingCallWatcher(bus_.asyncCall(message, callTimeoutMilliseconds), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        if (reply.type() != QDBusMessage::ErrorMessage)
            registered(Registration::registered);
        else if (meansNotNeeded(reply.errorName()))
            registered(Registration::notNeeded);
        else
            registered(Registration::failed,
                       reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
    });
}

void PortalConnection::registered(Registration outcome, const QString& error) {
    registration_ = outcome;
    registrationError_ = error;
    const auto ready = std::move(waiting_);
    waiting_.clear();
    for (const auto& run : ready)
        run();
}

void PortalConnection::whenRegistered(std::function<void()> ready) {
    if (registration_ == Registration::pending)
        waiting_.push_back(std::move(ready));
    else
        ready();
}

void PortalConnection::call(const QString& interface, const QString& method,
                            const QVariantList& arguments, Reply reply) {
    callAt(QLatin1String(objectPath), interface, method, arguments, std::move(reply));
}

void PortalConnection::callAt(const QString& path, const QString& interface, const QString& method,
                              const QVariantList& arguments, Reply reply) {
    whenRegistered([=, this] {
        QDBusMessage message =
            QDBusMessage::createMethodCall(QLatin1String(service), path, interface, method);
        message.setArguments(arguments);
        auto* watcher =
            new QDBusPendingCallWatcher(bus_.asyncCall(message, callTimeoutMilliseconds), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [reply](QDBusPendingCallWatcher* w) {
                    w->deleteLater();
                    if (reply)
                        reply(w->reply());
                });
    });
}

void PortalConnection::version(const QString& interface, std::function<void(uint)> done) {
    call(QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
         {interface, QStringLiteral("version")}, [done](const QDBusMessage& reply) {
             const QVariant value =
                 reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                     ? reply.arguments().front().value<QDBusVariant>().variant()
                     : QVariant();
             done(value.toUInt());
         });
}

// Unique and not guessable, as the portal asks: a counter for uniqueness, a random part so
// that no other program can predict our request paths.
QString PortalConnection::newToken() {
    return QStringLiteral("blinkwit%1_%2")
        .arg(++tokens_)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// ":1.42" becomes "1_42".
QString PortalConnection::senderElement() const {
    return bus_.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
}

QString PortalConnection::requestPath(const QString& token) const {
    return QLatin1String(objectPath) + QStringLiteral("/request/") + senderElement() +
           QLatin1Char('/') + token;
}

QString PortalConnection::sessionPath(const QString& token) const {
    return QLatin1String(objectPath) + QStringLiteral("/session/") + senderElement() +
           QLatin1Char('/') + token;
}

} // namespace Blinkwit
