#pragma once

#include "Permissions.h"

#include <QStringList>
#include <functional>

namespace Blinkwit {

// The permissions of this desktop session, and its remedies.
class DesktopPermissions final : public Permissions {
public:
    // Ends this copy and starts the installed one at the executable path.
    using Relaunch = std::function<void(const QString& executable)>;

    explicit DesktopPermissions(Relaunch relaunch);

    InstallLocation installLocation() const override;
    bool isTrustedForAccessibility() const override;
    bool isScreenCaptureGranted() const override;
    // An X11 session has nothing to ask: every client may read the screen.
    void requestScreenCapture() override {}
    bool canOpenKeyboardSettings() const override;
    void openKeyboardSettings() override;
    std::optional<QString> moveToApplicationsAndRelaunch() override;

    // The command opening the keyboard settings of the desktop in use (else of any installed
    // desktop we know); empty when there is none.
    static QStringList keyboardSettingsCommand();

private:
    Relaunch relaunch_;
};

} // namespace Blinkwit
