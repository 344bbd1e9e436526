#pragma once

namespace Blinkwit {

// Which permission the window explains.
enum class PermissionKind { accessibility, screenRecording, installLocation };

// Shows the window that explains a missing permission or a wrong install location.
class PermissionWindows {
public:
    virtual ~PermissionWindows() = default;
    virtual void show(PermissionKind kind) = 0;
};

} // namespace Blinkwit
