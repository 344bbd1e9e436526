#include "PortalScreenshot.h"

#include "PortalConnection.h"
#include "PortalRequest.h"

#include <QFile>
#include <QUrl>

namespace Blinkwit {

PortalScreenshot::PortalScreenshot(PortalConnection& portal, std::function<QRectF()> desktop,
                                   double timeLimit, QObject* parent)
    : QObject(parent)
    , portal_(portal)
    , desktop_(std::move(desktop))
    , timeLimit_(timeLimit) {}

void PortalScreenshot::capture(const QRectF& region, QSize pixels, Completion completion) {
    const QVariantMap options{{QStringLiteral("interactive"), false},
                              {QStringLiteral("modal"), false}};
    PortalRequest::send(
        portal_, QLatin1String(interface), QStringLiteral("Screenshot"), {QString()}, options,
        timeLimit_,
        [this, region, pixels, completion](const PortalRequest::Result& result) {
            const QUrl uri(result.results.value(QStringLiteral("uri")).toString());
            if (result.outcome != PortalRequest::Outcome::success || !uri.isLocalFile())
                return completion(QImage());
            const QString file = uri.toLocalFile();
            const QImage screenshot(file);
            QFile::remove(file);
            completion(crop(screenshot, desktop_(), region, pixels));
        },
        this);
}

QImage PortalScreenshot::crop(const QImage& screenshot, const QRectF& desktop, const QRectF& region,
                              QSize pixels) {
    if (screenshot.isNull() || desktop.isEmpty() || pixels.isEmpty())
        return {};
    const double sx = screenshot.width() / desktop.width();
    const double sy = screenshot.height() / desktop.height();
    const QRectF source((region.x() - desktop.x()) * sx, (region.y() - desktop.y()) * sy,
                        region.width() * sx, region.height() * sy);
    const QRect part = source.toAlignedRect().intersected(screenshot.rect());
    if (part.isEmpty())
        return {};
    QImage image = screenshot.copy(part);
    if (image.size() != pixels)
        image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace Blinkwit
