#pragma once

#include <QDBusConnection>
#include <QObject>

namespace Blinkwit::Testing {

// A tray host on the bus, so that the resident offers its icon and menu as a status notifier
// item there instead of embedding it; its menu can then be read and clicked over D-Bus the way
// a desktop's tray host does.
class StatusNotifierWatcher final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    StatusNotifierWatcher() {
        QDBusConnection::sessionBus().registerObject("/StatusNotifierWatcher", this,
                                                     QDBusConnection::ExportAllContents);
        QDBusConnection::sessionBus().registerService("org.kde.StatusNotifierWatcher");
    }
    ~StatusNotifierWatcher() override {
        QDBusConnection::sessionBus().unregisterService("org.kde.StatusNotifierWatcher");
        QDBusConnection::sessionBus().unregisterObject("/StatusNotifierWatcher");
    }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

    QString item;

public slots:
    void RegisterStatusNotifierItem(const QString& service) { item = service; }
    void RegisterStatusNotifierHost(const QString&) {}
};

} // namespace Blinkwit::Testing
