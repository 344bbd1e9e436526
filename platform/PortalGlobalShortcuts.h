#pragma once

#include "PortalRequest.h"
#include "Timer.h"

#include <QDBusObjectPath>
#include <QObject>
#include <QSet>
#include <QString>
#include <vector>

namespace Blinkwit {

class DefaultsStore;
class PortalConnection;

// Global shortcuts through the desktop portal (org.freedesktop.portal.GlobalShortcuts): one
// session that binds our commands, the desktop's dialog choosing their keys. A session binds
// once; whether the user has been through that dialog is kept in the defaults store, since some
// desktops list nothing until a session has bound. A closed session is created again.
class PortalGlobalShortcuts final : public QObject {
    Q_OBJECT
public:
    struct Shortcut {
        QString id;
        QString description;
        QString preferredTrigger; // "CTRL+SHIFT+r"; empty for none
    };
    enum class State {
        starting,
        unavailable, // no portal, or no GlobalShortcuts in it
        needsAppId,  // the portal refuses programs it cannot name (our desktop entry is missing)
        bound,       // the desktop delivers our shortcuts
        declined,    // the user dismissed the desktop's dialog
        failed,
    };

    static constexpr const char* interface = "org.freedesktop.portal.GlobalShortcuts";
    static constexpr const char* configuredKey = "globalShortcutsConfigured";

    struct TimeLimits {
        double call = 5.0;     // answers without a dialog
        double dialog = 120.0; // the desktop's dialog waits for the user
        double recreate = 1.0; // pause before a closed session is created again
    };

    PortalGlobalShortcuts(PortalConnection& portal, DefaultsStore& store,
                          std::vector<Shortcut> shortcuts, TimeLimits limits,
                          QObject* parent = nullptr);
    PortalGlobalShortcuts(PortalConnection& portal, DefaultsStore& store,
                          std::vector<Shortcut> shortcuts, QObject* parent = nullptr)
        : PortalGlobalShortcuts(portal, store, std::move(shortcuts), TimeLimits(), parent) {}
    ~PortalGlobalShortcuts() override;

    void start();
    State state() const { return state_; }
    // Whether one of our shortcuts is held down right now (activated, not yet deactivated).
    bool isHeld() const { return !held_.isEmpty(); }
    // Whether the desktop can show its own settings for our shortcuts (interface version 2).
    bool canConfigure() const { return version_ >= 2 && !session_.isEmpty(); }
    void configure();

signals:
    void activated(const QString& id);
    void deactivated(const QString& id);
    void stateChanged(Blinkwit::PortalGlobalShortcuts::State state);

private slots:
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                     const QVariantMap& options);
    void onDeactivated(const QDBusObjectPath& session, const QString& id, qulonglong timestamp,
                       const QVariantMap& options);
    void onClosed(const QVariantMap& details);

private:
    void started(uint version);
    void createSession();
    void sessionCreated(const PortalRequest::Result& result);
    void list();
    void listed(const PortalRequest::Result& result);
    void bind();
    void bindAnswered(const PortalRequest::Result& result);
    void checkBinding();
    bool listsAllOf(const QVariant& shortcuts) const;
    void watchSession(bool watch);
    void setState(State state);
    bool configured() const;

    PortalConnection& portal_;
    DefaultsStore& store_;
    std::vector<Shortcut> shortcuts_;
    TimeLimits limits_;
    Timer recreate_;
    uint version_ = 0;
    QString session_;
    bool boundInSession_ = false;
    QSet<QString> held_;
    State state_ = State::starting;
};

} // namespace Blinkwit
