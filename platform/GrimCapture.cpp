#include "GrimCapture.h"

#include "TimedProcess.h"

#include <QStandardPaths>

namespace Blinkwit {

GrimCapture::GrimCapture(Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , scheduler_(scheduler) {}

bool GrimCapture::isInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("grim")).isEmpty();
}

QString GrimCapture::geometry(const QRectF& region) {
    const QRect points = region.toAlignedRect();
    return QStringLiteral("%1,%2 %3x%4")
        .arg(points.x())
        .arg(points.y())
        .arg(points.width())
        .arg(points.height());
}

// grim writes the image at the outputs' own scale; it is brought to the size asked for here.
void GrimCapture::capture(const QRectF& region, QSize pixels, Completion completion) {
    if (region.isEmpty() || pixels.isEmpty())
        return completion(QImage());
    const QStringList arguments{QStringLiteral("-t"), QStringLiteral("png"), QStringLiteral("-g"),
                                geometry(region), QStringLiteral("-")};
    TimedProcess::run(
        QStringLiteral("grim"), arguments, timeLimit, scheduler_,
        [pixels, completion](std::optional<QByteArray> png) {
            QImage image = png ? QImage::fromData(*png, "PNG") : QImage();
            if (!image.isNull() && image.size() != pixels)
                image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            completion(image);
        },
        this);
}

} // namespace Blinkwit
