#include "PortalRequest.h"

#include "PortalConnection.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QPointer>

namespace Blinkwit {

namespace {

constexpr const char* requestInterface = "org.freedesktop.portal.Request";

} // namespace

PortalRequest::PortalRequest(PortalConnection& portal, Completion completion, QObject* parent)
    : QObject(parent)
    , portal_(portal)
    , completion_(std::move(completion))
    , limit_(portal.scheduler()) {}

void PortalRequest::send(PortalConnection& portal, const QString& interface, const QString& method,
                         const QVariantList& arguments, QVariantMap options, double timeLimit,
                         Completion completion, QObject* parent) {
    auto* request = new PortalRequest(portal, std::move(completion), parent);
    request->start(interface, method, arguments, std::move(options), timeLimit);
}

QString PortalRequest::path(const QVariant& value) {
    if (value.userType() == qMetaTypeId<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

void PortalRequest::start(const QString& interface, const QString& method, QVariantList arguments,
                          QVariantMap options, double timeLimit) {
    limit_.startAfter(timeLimit, [this] { timedOut(); });
    portal_.whenRegistered([=, this]() mutable {
        if (finished_)
            return;
        const QString token = portal_.newToken();
        options.insert(QStringLiteral("handle_token"), token);
        listen(portal_.requestPath(token));
        arguments.append(options);
        portal_.call(interface, method, arguments,
                     [self = QPointer(this)](const QDBusMessage& reply) {
                         if (self)
                             self->replied(reply);
                     });
    });
}

void PortalRequest::listen(const QString& handle) {
    QDBusConnection& bus = portal_.bus();
    if (!handle_.isEmpty())
        bus.disconnect(QLatin1String(PortalConnection::service), handle_,
                       QLatin1String(requestInterface), QStringLiteral("Response"), this,
                       SLOT(response(uint, QVariantMap)));
    handle_ = handle;
    if (!handle_.isEmpty())
        bus.connect(QLatin1String(PortalConnection::service), handle_,
                    QLatin1String(requestInterface), QStringLiteral("Response"), this,
                    SLOT(response(uint, QVariantMap)));
}

void PortalRequest::replied(const QDBusMessage& reply) {
    if (finished_)
        return;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        Result refused;
        refused.error = reply.errorName();
        refused.message = reply.errorMessage();
        finish(std::move(refused));
        return;
    }
    // A portal older than 0.9 chooses its own path; its Response comes after this reply.
    const QString handle = path(reply.arguments().front());
    if (handle != handle_)
        listen(handle);
}

void PortalRequest::response(uint code, const QVariantMap& results) {
    if (finished_)
        return;
    Result result;
    result.outcome = code == 0 ? Outcome::success : code == 1 ? Outcome::cancelled : Outcome::ended;
    result.results = results;
    finish(std::move(result));
}

// Closing the Request ends whatever dialog the portal still shows for it.
void PortalRequest::timedOut() {
    if (!handle_.isEmpty())
        portal_.callAt(handle_, QLatin1String(requestInterface), QStringLiteral("Close"), {},
                       nullptr);
    Result result;
    result.outcome = Outcome::timedOut;
    finish(std::move(result));
}

void PortalRequest::finish(Result result) {
    finished_ = true;
    limit_.stop();
    listen(QString());
    deleteLater();
    const Completion completion = std::move(completion_);
    completion(result);
}

} // namespace Blinkwit
