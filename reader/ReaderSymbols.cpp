#include "ReaderSymbols.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>

namespace Blinkwit {

namespace {

QPainterPath corner(QPointF tip, double dx, double dy, double arm) {
    QPainterPath path;
    path.moveTo(tip.x(), tip.y() + dy * arm);
    path.lineTo(tip);
    path.lineTo(tip.x() + dx * arm, tip.y());
    return path;
}

} // namespace

void ReaderSymbols::paintTextViewfinder(QPainter& painter, const QRectF& box,
                                        const QColor& colour) {
    const double s = std::min(box.width(), box.height());
    const QRectF r(box.center().x() - s / 2, box.center().y() - s / 2, s, s);
    const double inset = s * 0.08;
    const QRectF frame = r.adjusted(inset, inset, -inset, -inset);
    const double arm = s * 0.26;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, s * 0.075, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(corner(frame.topLeft(), 1, 1, arm));
    painter.drawPath(corner(frame.topRight(), -1, 1, arm));
    painter.drawPath(corner(frame.bottomLeft(), 1, -1, arm));
    painter.drawPath(corner(frame.bottomRight(), -1, -1, arm));

    // Three lines of "text", the last one shorter.
    const double left = frame.left() + s * 0.22;
    const double right = frame.right() - s * 0.22;
    const double gap = s * 0.15;
    const double middle = frame.center().y();
    painter.drawLine(QPointF(left, middle - gap), QPointF(right, middle - gap));
    painter.drawLine(QPointF(left, middle), QPointF(right, middle));
    painter.drawLine(QPointF(left, middle + gap),
                     QPointF(left + (right - left) * 0.6, middle + gap));
    painter.restore();
}

void ReaderSymbols::paintFilledCheckmarkCircle(QPainter& painter, const QRectF& box,
                                               const QColor& colour) {
    const double s = std::min(box.width(), box.height());
    const QRectF r(box.center().x() - s / 2, box.center().y() - s / 2, s, s);

    QPainterPath circle;
    circle.addEllipse(r.adjusted(s * 0.04, s * 0.04, -s * 0.04, -s * 0.04));

    QPainterPath tick;
    tick.moveTo(r.left() + s * 0.29, r.top() + s * 0.52);
    tick.lineTo(r.left() + s * 0.44, r.top() + s * 0.66);
    tick.lineTo(r.left() + s * 0.72, r.top() + s * 0.36);
    QPainterPathStroker stroker;
    stroker.setWidth(s * 0.1);
    stroker.setCapStyle(Qt::RoundCap);
    stroker.setJoinStyle(Qt::RoundJoin);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(circle.subtracted(stroker.createStroke(tick)));
    painter.restore();
}

} // namespace Blinkwit
