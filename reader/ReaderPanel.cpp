#include "ReaderPanel.h"

#include "PanelPlacement.h"
#include "ReaderView.h"
#include "X11WindowHints.h"

#include <QMouseEvent>
#include <QPainterPath>
#include <QRegion>
#include <QWindow>

namespace Blinkwit {

ReaderPanel::ReaderPanel(ReaderEngine& engine, const AppSettings& settings)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , view_(new ReaderView(engine, settings, this)) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(QStringLiteral("Blinkwit"));
    setFocusPolicy(Qt::StrongFocus);
    resize(PanelPlacement::width, PanelPlacement::height);
}

void ReaderPanel::setCompositing(bool compositing) {
    compositing_ = compositing;
    applyBackdrop();
    applyShape();
}

void ReaderPanel::setBlurAvailable(bool available) {
    blurAvailable_ = available;
    applyBackdrop();
}

void ReaderPanel::applyBackdrop() {
    if (!compositing_)
        view_->setBackdrop(Backdrop::opaque);
    else
        view_->setBackdrop(blurAvailable_ ? Backdrop::blurred : Backdrop::sharp);
}

void ReaderPanel::applyShape() {
    const QRegion shape(ReaderView::shape(size()).toFillPolygon().toPolygon());
    if (compositing_) {
        clearMask();
        X11WindowHints::setBlurBehind(windowHandle(), &shape);
    } else {
        // Without blending, pixels outside the rounded shape would show black: cut them away.
        setMask(shape);
        X11WindowHints::setBlurBehind(windowHandle(), nullptr);
    }
}

bool ReaderPanel::event(QEvent* event) {
    // Closing by the window manager closes the reader, but the panel is reused for every text.
    if (event->type() == QEvent::Close) {
        event->ignore();
        emit closeRequested();
        return true;
    }
    return QWidget::event(event);
}

void ReaderPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    event->accept();
    // A quick tap (a touchpad, xdotool click) can be over before its press gets here; a window
    // manager asked to move the panel then would drag it along until the next click.
    if (!X11WindowHints::leftButtonHeld())
        return;
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void ReaderPanel::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_ && (event->buttons() & Qt::LeftButton))
        move(event->globalPosition().toPoint() - *dragOffset_);
}

void ReaderPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragOffset_.reset();
}

void ReaderPanel::moveEvent(QMoveEvent*) {
    emit frameChanged();
}

void ReaderPanel::resizeEvent(QResizeEvent*) {
    view_->setGeometry(rect());
    applyShape();
    emit frameChanged();
}

void ReaderPanel::showEvent(QShowEvent*) {
    X11WindowHints::showOnAllDesktops(windowHandle());
    applyShape();
}

} // namespace Blinkwit
