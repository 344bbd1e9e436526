#pragma once

#include "app/PermissionWindows.h"
#include "app/Permissions.h"

#include <vector>

namespace Blinkwit::Testing {

// A desktop whose permissions the test sets, recording what was asked of it.
class FakePermissions final : public Permissions, public PermissionWindows {
public:
    InstallLocation installLocation() const override { return location; }
    bool isTrustedForAccessibility() const override { return trusted; }
    bool isScreenCaptureGranted() const override { return screenCapture; }
    void requestScreenCapture() override { ++screenCaptureRequests; }
    bool canOpenKeyboardSettings() const override { return hasKeyboardSettings; }
    void openKeyboardSettings() override { ++keyboardSettingsOpened; }
    std::optional<QString> moveToApplicationsAndRelaunch() override {
        ++moves;
        return moveError;
    }
    std::optional<WaylandAccess> waylandAccess() const override { return wayland; }
    void setCopyCommandEnabled(bool enabled) override { copyEnabled.push_back(enabled); }
    void show(PermissionKind kind) override { shown.push_back(kind); }

    InstallLocation location = InstallLocation::inApplications;
    bool trusted = true;
    bool screenCapture = true;
    int screenCaptureRequests = 0;
    bool hasKeyboardSettings = false;
    std::optional<QString> moveError;
    int keyboardSettingsOpened = 0;
    int moves = 0;
    std::vector<PermissionKind> shown;
    std::optional<WaylandAccess> wayland;
    std::vector<bool> copyEnabled;
};

} // namespace Blinkwit::Testing
