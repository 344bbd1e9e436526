#pragma once

#include "InstallLocation.h"
#include "WaylandAccess.h"

#include <QString>
#include <optional>

namespace Blinkwit {

// What the program may do on this desktop, and the remedies the permission window offers.
class Permissions {
public:
    virtual ~Permissions() = default;

    virtual InstallLocation installLocation() const = 0;
    // Whether other programs' selections can be read and a copy sent to them (never prompts).
    virtual bool isTrustedForAccessibility() const = 0;
    // Whether the screen may be captured (never prompts), and asking the desktop for it.
    virtual bool isScreenCaptureGranted() const = 0;
    virtual void requestScreenCapture() = 0;
    // Whether the desktop has keyboard settings we know how to open.
    virtual bool canOpenKeyboardSettings() const = 0;
    virtual void openKeyboardSettings() = 0;
    // What works in a Wayland session; nothing in an X11 session.
    virtual std::optional<WaylandAccess> waylandAccess() const { return std::nullopt; }
    // The opt-in Ctrl+C of a Wayland session.
    virtual void setCopyCommandEnabled(bool) {}
    // Copies the running bundle to the Applications folder and restarts from there; on success
    // this program ends shortly afterwards. Otherwise why not, for the user.
    virtual std::optional<QString> moveToApplicationsAndRelaunch() = 0;
};

} // namespace Blinkwit
