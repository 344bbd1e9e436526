#include "SeekableProgressBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace Blinkwit {

namespace {

void fillCapsule(QPainter& painter, const QRectF& box, const QColor& colour) {
    QPainterPath path;
    const double radius = box.height() / 2;
    path.addRoundedRect(box, radius, radius);
    painter.fillPath(path, colour);
}

} // namespace

SeekableProgressBar::SeekableProgressBar(Inputs inputs, QWidget* parent)
    : QWidget(parent)
    , inputs_(std::move(inputs)) {
    setCursor(Qt::PointingHandCursor);
}

QRectF SeekableProgressBar::barRect() const {
    return QRectF(rect()).adjusted(hitMargin, hitMargin, -hitMargin, -hitMargin);
}

double SeekableProgressBar::fractionAt(double x) const {
    const QRectF bar = barRect();
    const double fraction = bar.width() > 0 ? (x - bar.left()) / bar.width() : 1.0;
    if (fraction <= 0)
        return 0.0;
    if (!(fraction <= 1))
        return 1.0; // beyond the end, or not a number
    return fraction;
}

void SeekableProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bar = barRect();
    fillCapsule(painter, bar, inputs_.track());
    const double progress = std::clamp(inputs_.progress(), 0.0, 1.0);
    const double fill = std::max(minimumFill, bar.width() * progress);
    QColor accent = inputs_.accent();
    accent.setAlphaF(float(accent.alphaF() * fillOpacity));
    fillCapsule(painter, QRectF(bar.left(), bar.top(), std::min(fill, bar.width()), bar.height()),
                accent);
}

void SeekableProgressBar::mousePressEvent(QMouseEvent* event) {
    // Taking the press makes the release come here wherever the drag ends.
    event->accept();
}

void SeekableProgressBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    inputs_.onSeek(fractionAt(event->position().x()));
}

} // namespace Blinkwit
