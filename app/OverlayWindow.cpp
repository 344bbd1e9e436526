#include "OverlayWindow.h"

#include "SelectionView.h"

#include <QScreen>

namespace Blinkwit {

OverlayWindow::OverlayWindow(QScreen& screen, RegionSelectionController& controller)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                           Qt::X11BypassWindowManagerHint)
    , screen_(&screen)
    , view_(new SelectionView(controller, this)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Blinkwit"));
    setScreen(&screen);
    setGeometry(screen.geometry());
}

void OverlayWindow::showStill(bool compositing) {
    if (compositing || !screen_)
        view_->setStill({});
    else
        view_->setStill(screen_->grabWindow(0));
}

void OverlayWindow::present(bool withKeyboard) {
    show();
    raise();
    if (!withKeyboard)
        return;
    // Unmanaged windows get the input focus directly, once they are mapped.
    activateWindow();
    view_->setFocus(Qt::OtherFocusReason);
}

void OverlayWindow::resizeEvent(QResizeEvent*) {
    view_->setGeometry(rect());
}

} // namespace Blinkwit
