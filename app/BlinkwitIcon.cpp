#include "BlinkwitIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace Blinkwit {

namespace {

const QColor circleColour(0x00, 0xC8, 0x35);
const QColor symbolColour(0x10, 0x14, 0x12);

// A closed outline through the corners, on a 24 x 24 grid.
QPainterPath outline(std::initializer_list<QPointF> corners) {
    QPainterPath path;
    path.addPolygon(QPolygonF(corners));
    path.closeSubpath();
    return path;
}

QPainterPath bolt() {
    return outline(
        {{13.5, 3.5}, {6.5, 13.5}, {11.5, 13.5}, {10.0, 20.5}, {17.5, 10.0}, {12.5, 10.0}});
}

// A downward arrow, as heavy as the bolt.
QPainterPath arrow() {
    return outline({{10.0, 5.0},
                    {14.0, 5.0},
                    {14.0, 11.5},
                    {18.0, 11.5},
                    {12.0, 19.0},
                    {6.0, 11.5},
                    {10.0, 11.5}});
}

} // namespace

QImage BlinkwitIcon::image(int size, Symbol symbol) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 24.0, size / 24.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(circleColour);
    painter.drawEllipse(QRectF(1, 1, 22, 22));
    painter.setBrush(symbolColour);
    painter.drawPath(symbol == Symbol::bolt ? bolt() : arrow());
    return image;
}

QIcon BlinkwitIcon::icon(Symbol symbol) {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(image(size, symbol)));
    return icon;
}

} // namespace Blinkwit
