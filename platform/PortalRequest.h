#pragma once

#include "Timer.h"

#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <functional>

class QDBusMessage;

namespace Blinkwit {

class PortalConnection;

// One portal call that answers through the Response signal of a Request object. The signal is
// subscribed to before the call goes out (the portal derives the Request's path from our bus
// name and the handle token we pass) and moved when an older portal names another path; a
// Response that never comes ends the request after its time limit (a denied permission may
// answer nothing at all). The completion runs once, unless the request's parent is destroyed
// first.
class PortalRequest final : public QObject {
    Q_OBJECT
public:
    enum class Outcome {
        success,   // response 0
        cancelled, // response 1: the user dismissed the desktop's dialog
        ended,     // response 2: ended some other way (denied, failed)
        refused,   // the call itself failed with a D-Bus error
        timedOut,
    };
    struct Result {
        Outcome outcome = Outcome::refused;
        QVariantMap results;
        QString error; // D-Bus error name of a refused call
        QString message;
    };
    using Completion = std::function<void(const Result&)>;

    // Calls interface.method(arguments..., options + handle_token) on the portal object, once
    // the connection has registered.
    static void send(PortalConnection& portal, const QString& interface, const QString& method,
                     const QVariantList& arguments, QVariantMap options, double timeLimit,
                     Completion completion, QObject* parent);

    // Object paths arrive as strings or as object paths, depending on the portal.
    static QString path(const QVariant& value);

private slots:
    void response(uint code, const QVariantMap& results);

private:
    PortalRequest(PortalConnection& portal, Completion completion, QObject* parent);
    void start(const QString& interface, const QString& method, QVariantList arguments,
               QVariantMap options, double timeLimit);
    void listen(const QString& handle);
    void replied(const QDBusMessage& reply);
    void timedOut();
    void finish(Result result);

    PortalConnection& portal_;
    Completion completion_;
    Timer limit_;
    QString handle_;
    bool finished_ = false;
};

} // namespace Blinkwit
