#include "BlinkwitIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Blinkwit {

namespace {

const QColor circleColour(0x00, 0xC8, 0x35);
const QColor symbolColour(0x10, 0x14, 0x12);

// The bolt's outline on a 24 x 24 grid.
QPainterPath bolt() {
    QPainterPath path;
    path.moveTo(13.5, 3.5);
    path.lineTo(6.5, 13.5);
    path.lineTo(11.5, 13.5);
    path.lineTo(10.0, 20.5);
    path.lineTo(17.5, 10.0);
    path.lineTo(12.5, 10.0);
    path.closeSubpath();
    return path;
}

// A downward arrow on the same grid, as heavy as the bolt.
QPainterPath arrow() {
    QPainterPath path;
    path.moveTo(10.0, 5.0);
    path.lineTo(14.0, 5.0);
    path.lineTo(14.0, 11.5);
    path.lineTo(18.0, 11.5);
    path.lineTo(12.0, 19.0);
    path.lineTo(6.0, 11.5);
    path.lineTo(10.0, 11.5);
    path.closeSubpath();
    return path;
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
