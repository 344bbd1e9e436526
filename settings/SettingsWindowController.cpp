#include "SettingsWindowController.h"

#include "SettingsTexts.h"
#include "reader/X11WindowHints.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>

namespace Blinkwit {

SettingsWindowController::SettingsWindowController(SettingsView::Services services)
    : services_(services) {}

SettingsWindowController::~SettingsWindowController() = default;

void SettingsWindowController::show() {
    if (!window_) {
        window_ = std::make_unique<SettingsView>(services_);
        window_->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint);
        window_->setWindowTitle(QString::fromUtf8(SettingsTexts::windowTitle));
        window_->ensurePolished();
        window_->layout()->activate();
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = window_->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            window_->move(frame.topLeft());
        }
    }
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
    X11WindowHints::activate(window_->windowHandle());
}

} // namespace Blinkwit
