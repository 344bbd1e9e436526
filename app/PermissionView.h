#pragma once

#include "InstallLocation.h"
#include "PermissionWindows.h"
#include "WaylandAccess.h"

#include <QColor>
#include <QDialog>
#include <optional>

class QLabel;
class QPushButton;

namespace Blinkwit {

class Permissions;

// The window that explains one missing permission, with "Later" and the kind's remedy as the
// default button (Return presses it). A failed move to the Applications folder is shown in the
// window, which stays open so the user can read it.
class PermissionView final : public QDialog {
    Q_OBJECT
public:
    static constexpr int width = 440;

    PermissionView(PermissionKind kind, Permissions& permissions, QColor accent,
                   QWidget* parent = nullptr);

    PermissionKind kind() const { return kind_; }
    QPushButton* primaryButton() const { return primary_; }

    // The default button's action.
    void performAction();

    static QString title(PermissionKind kind);
    static QString explanation(PermissionKind kind, InstallLocation location);
    static QString primaryButtonTitle(PermissionKind kind, bool canOpenKeyboardSettings);
    static QString moveFailureText(const QString& error);
    // The accessibility window of a Wayland session: what works there.
    static QString waylandTitle();
    static QString waylandExplanation(const WaylandAccess& access);
    static QString waylandPrimaryButtonTitle(const WaylandAccess& access,
                                             bool canOpenKeyboardSettings);
    static QString copyOptionText();

private:
    // One `blinkwit --command NAME` line per command, each after a line break.
    static QString commandLines();
    void build(QColor accent);

    PermissionKind kind_;
    Permissions& permissions_;
    std::optional<QString> moveFailed_;
    QLabel* failure_ = nullptr;
    QPushButton* primary_ = nullptr;
};

} // namespace Blinkwit
