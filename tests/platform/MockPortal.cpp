#include "MockPortal.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QJsonDocument>

namespace Blinkwit::Testing {

namespace {

QDBusMessage controlCall(const QString& method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
                                          QStringLiteral("/org/freedesktop/portal/desktop"),
                                          QStringLiteral("org.blinkwit.MockPortal"), method);
}

} // namespace

bool MockPortal::start() {
    process_.emplace(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral(MOCK_PORTAL)});
    return process_->firstLine() == QStringLiteral("ready");
}

void MockPortal::configure(const QJsonObject& settings) {
    control(QStringLiteral("Configure"),
            {QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact))});
}

std::vector<MockPortal::Call> MockPortal::calls() {
    std::vector<Call> calls;
    for (const QJsonValue& call : control(QStringLiteral("Calls"), {}))
        calls.push_back({call[QLatin1String("method")].toString(),
                         call[QLatin1String("sender")].toString(),
                         call[QLatin1String("args")].toArray()});
    return calls;
}

std::vector<MockPortal::Call> MockPortal::callsOf(const QString& method) {
    std::vector<Call> matching;
    for (Call& call : calls())
        if (call.method == method)
            matching.push_back(std::move(call));
    return matching;
}

MockPortal::Call MockPortal::call(const QString& method, std::size_t nth) {
    std::vector<Call> matching = callsOf(method);
    return nth < matching.size() ? matching[nth] : Call();
}

void MockPortal::activate(const QString& id, bool pressed) {
    control(QStringLiteral("Activate"), {id, pressed});
}

void MockPortal::closeSessions() {
    control(QStringLiteral("CloseSessions"), {});
}

QJsonArray MockPortal::control(const QString& method, const QVariantList& arguments) {
    QDBusMessage message = controlCall(method);
    message.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(message);
    if (reply.arguments().isEmpty())
        return {};
    return QJsonDocument::fromJson(reply.arguments().front().toString().toUtf8()).array();
}

} // namespace Blinkwit::Testing
