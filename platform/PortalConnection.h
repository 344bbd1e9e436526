#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <functional>
#include <vector>

class QDBusMessage;

namespace Blinkwit {

class Scheduler;

// The desktop portals (xdg-desktop-portal) over a session-bus connection of our own. The portal
// learns an unsandboxed program's application id from the host registry, which must hear of it
// before the connection makes any other portal call: so no other code shares this connection,
// and every call waits until registering has ended.
class PortalConnection final : public QObject {
    Q_OBJECT
public:
    enum class Registration { pending, registered, notNeeded, failed };
    using Reply = std::function<void(const QDBusMessage& reply)>;

    static constexpr const char* service = "org.freedesktop.portal.Desktop";
    static constexpr const char* objectPath = "/org/freedesktop/portal/desktop";
    // Answers of the bus itself (not of a dialog) come well within this.
    static constexpr int callTimeoutMilliseconds = 5000;

    // appId: the basename of our installed desktop entry. Registering starts at once.
    PortalConnection(QString appId, Scheduler& scheduler, QObject* parent = nullptr);
    ~PortalConnection() override;
    PortalConnection(const PortalConnection&) = delete;
    PortalConnection& operator=(const PortalConnection&) = delete;

    bool isConnected() const { return bus_.isConnected(); }
    QDBusConnection& bus() { return bus_; }
    Scheduler& scheduler() const { return scheduler_; }
    Registration registration() const { return registration_; }
    // The registry's error, when registering failed.
    QString registrationError() const { return registrationError_; }

    // Runs ready once registering has ended (at once when it has), whatever its outcome.
    void whenRegistered(std::function<void()> ready);
    // Calls a method of the portal object once registered; reply gets the answer or the error.
    void call(const QString& interface, const QString& method, const QVariantList& arguments,
              Reply reply);
    // A method of another portal object (a session), once registered.
    void callAt(const QString& path, const QString& interface, const QString& method,
                const QVariantList& arguments, Reply reply);
    // The version of a portal interface; 0 when the portal does not offer it.
    void version(const QString& interface, std::function<void(uint)> done);

    // A fresh handle token, and the object paths the portal derives from it.
    QString newToken();
    QString requestPath(const QString& token) const;
    QString sessionPath(const QString& token) const;

private:
    void registerApplication(const QString& appId);
    void registered(Registration outcome, const QString& error = {});
    QString senderElement() const;

    Scheduler& scheduler_;
    QString connectionName_;
    QDBusConnection bus_;
    Registration registration_ = Registration::pending;
    QString registrationError_;
    std::vector<std::function<void()>> waiting_;
    unsigned tokens_ = 0;
};

} // namespace Blinkwit
