#include "ColorWell.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace Blinkwit {

ColorWell::ColorWell(QWidget* parent)
    : QAbstractButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, &ColorWell::openDialog);
}

void ColorWell::setColor(const QColor& color) {
    if (color_ == color)
        return;
    color_ = color;
    if (dialog_)
        dialog_->setCurrentColor(color);
    update();
}

QSize ColorWell::sizeHint() const {
    return QSize(fontMetrics().height() * 4, fontMetrics().height() + 12);
}

void ColorWell::openDialog() {
    if (!dialog_) {
        dialog_ = new QColorDialog(color_, window());
        dialog_->setAttribute(Qt::WA_DeleteOnClose);
        dialog_->setWindowTitle(accessibleName());
        connect(dialog_, &QColorDialog::colorSelected, this, &ColorWell::colorChosen);
    }
    dialog_->open();
    dialog_->raise();
    dialog_->activateWindow();
}

// A push button's bevel with the colour inset, so that it reads as a control in any style.
void ColorWell::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    if (isDown())
        option.state |= QStyle::State_Sunken;
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor edge = palette().color(QPalette::WindowText);
    edge.setAlphaF(0.3f);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(color_);
    painter.drawRoundedRect(QRectF(rect()).adjusted(5.5, 5.5, -5.5, -5.5), 3, 3);
}

} // namespace Blinkwit
