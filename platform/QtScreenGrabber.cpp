#include "QtScreenGrabber.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

namespace Blinkwit {

namespace {

// Looked up by name on every use: a screen may be unplugged between two calls.
QScreen* screenNamed(const QString& name) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    const auto found = std::find_if(screens.begin(), screens.end(),
                                    [&](const QScreen* screen) { return screen->name() == name; });
    return found == screens.end() ? nullptr : *found;
}

} // namespace

std::vector<ScreenGrabber::Display> QtScreenGrabber::displays() const {
    std::vector<Display> displays;
    for (const QScreen* screen : QGuiApplication::screens())
        displays.push_back({screen->name(), QRectF(screen->geometry())});
    return displays;
}

std::optional<double> QtScreenGrabber::backingScale(const QString& display) const {
    const QScreen* screen = screenNamed(display);
    if (!screen)
        return std::nullopt;
    return screen->devicePixelRatio();
}

QImage QtScreenGrabber::grab(const QString& display, const QRectF& source, QSize pixels) {
    QScreen* screen = screenNamed(display);
    if (!screen || source.isEmpty() || pixels.isEmpty())
        return {};
    // Qt grabs whole points; the pixels of the exact source are cut from that.
    const QRect points = source.toAlignedRect();
    QImage image =
        screen->grabWindow(0, points.x(), points.y(), points.width(), points.height()).toImage();
    if (image.isNull())
        return {};
    const double scale = image.width() / double(points.width());
    const QPoint offset(qRound((source.x() - points.x()) * scale),
                        qRound((source.y() - points.y()) * scale));
    image = image.copy(QRect(offset, pixels));
    image.setDevicePixelRatio(1);
    return image;
}

} // namespace Blinkwit
