#include "PermissionWindowController.h"

#include "PermissionView.h"
#include "settings/AppSettings.h"

#include <QGuiApplication>
#include <QScreen>

namespace Blinkwit {

PermissionWindowController::PermissionWindowController(Permissions& permissions,
                                                       const AppSettings& settings, QObject* parent)
    : QObject(parent)
    , permissions_(permissions)
    , settings_(settings) {}

PermissionWindowController::~PermissionWindowController() {
    delete window_;
}

void PermissionWindowController::show(PermissionKind kind) {
    if (!window_ || !window_->isVisible() || window_->kind() != kind) {
        // An earlier window of another kind stays open; it frees itself when closed.
        auto* view = new PermissionView(kind, permissions_, settings_.accentColor());
        view->setAttribute(Qt::WA_DeleteOnClose);
        view->adjustSize();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = view->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            view->move(frame.topLeft());
        }
        window_ = view;
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

} // namespace Blinkwit
