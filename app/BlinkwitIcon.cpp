#include "BlinkwitIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace Blinkwit {

namespace {

const QColor circleColour(0x00, 0xC8, 0x35);
const QColor boltColour(0x10, 0x14, 0x12);

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

} // namespace

QImage BlinkwitIcon::image(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 24.0, size / 24.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(circleColour);
    painter.drawEllipse(QRectF(1, 1, 22, 22));
    painter.setBrush(boltColour);
    painter.drawPath(bolt());
    return image;
}

QIcon BlinkwitIcon::icon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(image(size)));
    return icon;
}

} // namespace Blinkwit
