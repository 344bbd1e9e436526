#include "UpdateWindowController.h"

#include "UpdateWindow.h"

#include <QScreen>

namespace Blinkwit {

UpdateWindowController::UpdateWindowController(UpdateChecker& checker, QString displayString,
                                               QString installedPath)
    : checker_(checker)
    , displayString_(std::move(displayString))
    , installedPath_(std::move(installedPath)) {}

UpdateWindowController::~UpdateWindowController() = default;

void UpdateWindowController::show() {
    if (!window_) {
        window_ = std::make_unique<UpdateWindow>(checker_, displayString_, installedPath_);
        if (const QScreen* screen = window_->screen())
            window_->move(screen->availableGeometry().center() - window_->rect().center());
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

} // namespace Blinkwit
