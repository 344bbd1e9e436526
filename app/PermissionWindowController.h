#pragma once

#include "PermissionView.h"
#include "PermissionWindows.h"

#include <QObject>
#include <QPointer>

namespace Blinkwit {

class AppSettings;
class Permissions;

// Opens the permission window, centred and in front. Asking again for the kind already on
// screen brings that window forward instead of stacking a second one.
class PermissionWindowController final : public QObject, public PermissionWindows {
    Q_OBJECT
public:
    PermissionWindowController(Permissions& permissions, const AppSettings& settings,
                               QObject* parent = nullptr);
    ~PermissionWindowController() override;

    void show(PermissionKind kind) override;
    // The window most recently shown, while it exists.
    PermissionView* window() const { return window_; }

private:
    Permissions& permissions_;
    const AppSettings& settings_;
    QPointer<PermissionView> window_;
};

} // namespace Blinkwit
