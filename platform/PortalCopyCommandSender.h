#pragma once

#include "Timer.h"
#include "app/CopyCommandSender.h"
#include "platform/PortalRequest.h"

#include <QObject>
#include <functional>
#include <vector>

namespace Blinkwit {

class DefaultsStore;
class PortalConnection;

// Ctrl+C through the RemoteDesktop portal (GNOME, KDE), for users who opted in: the desktop
// asks for consent once, and hands out a restore token with every start that spares the next
// start the question (each token works once, so the newest is stored). The keys go out only
// once the hot key is released, or a held Shift would make the copy Ctrl+Shift+C. When the
// desktop refuses, posted still runs, with nothing sent.
class PortalCopyCommandSender final : public QObject, public CopyCommandSender {
    Q_OBJECT
public:
    static constexpr const char* interface = "org.freedesktop.portal.RemoteDesktop";
    static constexpr const char* restoreTokenKey = "remoteDesktopRestoreToken";

    struct TimeLimits {
        double call = 5.0;
        double consent = 120.0; // the desktop's question waits for the user
        double release = 1.0;   // longest wait for the hot key to be let go
        double poll = 0.01;
    };

    // hotKeyHeld: whether the hot key that asked for the copy is still down.
    PortalCopyCommandSender(PortalConnection& portal, DefaultsStore& store,
                            std::function<bool()> hotKeyHeld, TimeLimits limits,
                            QObject* parent = nullptr);
    PortalCopyCommandSender(PortalConnection& portal, DefaultsStore& store,
                            std::function<bool()> hotKeyHeld, QObject* parent = nullptr)
        : PortalCopyCommandSender(portal, store, std::move(hotKeyHeld), TimeLimits(), parent) {}
    ~PortalCopyCommandSender() override;

    void postCommandC(std::function<void()> posted) override;

private slots:
    void onClosed(const QVariantMap& details);

private:
    enum class Session { none, starting, started };

    void startSession();
    void selectDevices();
    void startDevices();
    void started(const PortalRequest::Result& result);
    bool succeeded(const PortalRequest::Result& result);
    void waitForRelease();
    void sendKeys();
    void release();
    void closeSession();
    void forgetSession();

    PortalConnection& portal_;
    DefaultsStore& store_;
    std::function<bool()> hotKeyHeld_;
    TimeLimits limits_;
    Timer wait_;
    double releaseDeadline_ = 0.0;
    Session session_ = Session::none;
    QString sessionPath_;
    std::vector<std::function<void()>> waiting_;
};

} // namespace Blinkwit
