#include "DBusInstanceChannel.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusReply>

namespace Blinkwit {

namespace {

// What the resident serves on the bus.
class ResidentAdaptor final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.blinkwit.app.Resident")
public:
    explicit ResidentAdaptor(InstanceChannel::Handlers handlers)
        : handlers_(std::move(handlers)) {}

public slots:
    void Reopen() { handlers_.reopen(); }
    void RunCommand(const QString& name) {
        if (!handlers_.runCommand(name))
            sendErrorReply(QLatin1String(DBusInstanceChannel::unknownCommandError),
                           QStringLiteral("no command named '%1'").arg(name));
    }

private:
    InstanceChannel::Handlers handlers_;
};

bool isOneOf(const QString& error, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](const char* name) { return error == QLatin1String(name); });
}

} // namespace

DBusInstanceChannel::DBusInstanceChannel() = default;

DBusInstanceChannel::~DBusInstanceChannel() {
    release();
}

InstanceChannel::Claim DBusInstanceChannel::claim(Handlers handlers, QString& detail) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        detail = bus.lastError().message();
        return Claim::unavailable;
    }
    // The object is served before the name is taken, so no request finds the name without it.
    adaptor_ = std::make_unique<ResidentAdaptor>(std::move(handlers));
    bus.registerObject(QLatin1String(objectPath), adaptor_.get(), QDBusConnection::ExportAllSlots);
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        bus.interface()->registerService(QLatin1String(serviceName),
                                         QDBusConnectionInterface::DontQueueService,
                                         QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return Claim::resident;
    bus.unregisterObject(QLatin1String(objectPath));
    adaptor_.reset();
    if (!reply.isValid()) {
        detail = reply.error().message();
        return Claim::unavailable;
    }
    return Claim::anotherIsRunning;
}

void DBusInstanceChannel::release() {
    if (!adaptor_)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QLatin1String(serviceName));
    bus.unregisterObject(QLatin1String(objectPath));
    adaptor_.reset();
}

InstanceChannel::Reply DBusInstanceChannel::requestReopen() {
    return call(QStringLiteral("Reopen"), {});
}

InstanceChannel::Reply DBusInstanceChannel::requestCommand(const QString& name) {
    return call(QStringLiteral("RunCommand"), {name});
}

InstanceChannel::Reply DBusInstanceChannel::call(const QString& method,
                                                 const QVariantList& arguments) {
    using Status = Reply::Status;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {Status::unavailable, bus.lastError().message()};
    QDBusMessage message =
        QDBusMessage::createMethodCall(QLatin1String(serviceName), QLatin1String(objectPath),
                                       QLatin1String(interfaceName), method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    const QDBusMessage reply = bus.call(message, QDBus::Block, replyTimeoutMilliseconds);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {Status::done, {}};
    const QString error = reply.errorName();
    if (isOneOf(error, {"org.freedesktop.DBus.Error.ServiceUnknown",
                        "org.freedesktop.DBus.Error.NameHasNoOwner"}))
        return {Status::notRunning, reply.errorMessage()};
    if (isOneOf(error, {"org.freedesktop.DBus.Error.UnknownObject",
                        "org.freedesktop.DBus.Error.UnknownInterface",
                        "org.freedesktop.DBus.Error.UnknownMethod"}))
        return {Status::failed,
                QStringLiteral("the program that holds the name %1 on the session bus is not "
                               "Blinkwit (%2)")
                    .arg(QLatin1String(serviceName), reply.errorMessage())};
    return {Status::failed, reply.errorMessage()};
}

} // namespace Blinkwit

#include "DBusInstanceChannel.moc"
