#pragma once

#include "Permissions.h"

#include <QStringList>
#include <functional>

namespace Blinkwit {

class DesktopBackends;

// The permissions of this desktop session, and its remedies.
class DesktopPermissions final : public Permissions {
public:
    // Ends this copy and starts the installed one at the executable path.
    using Relaunch = std::function<void(const QString& executable)>;

    // backends: the session's desktop services, which a Wayland session asks what works.
    explicit DesktopPermissions(Relaunch relaunch, DesktopBackends* backends = nullptr);

    InstallLocation installLocation() const override;
    bool isTrustedForAccessibility() const override;
    bool isScreenCaptureGranted() const override;
    // An X11 session has nothing to ask: every client may read the screen.
    void requestScreenCapture() override {}
    bool canOpenKeyboardSettings() const override;
    void openKeyboardSettings() override;
    std::optional<WaylandAccess> waylandAccess() const override;
    void setCopyCommandEnabled(bool enabled) override;
    std::optional<QString> moveToApplicationsAndRelaunch() override;

    // The command opening the keyboard settings of the desktop in use (else of any installed
    // desktop we know); empty when there is none.
    static QStringList keyboardSettingsCommand();

private:
    Relaunch relaunch_;
    DesktopBackends* backends_;
};

} // namespace Blinkwit
