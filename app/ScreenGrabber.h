#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace Blinkwit {

// The desktop's displays and still captures of them. Main thread only.
class ScreenGrabber {
public:
    struct Display {
        QString name;
        // In points on the desktop, from the top-left corner of the primary display, y down.
        QRectF bounds;
    };

    virtual ~ScreenGrabber() = default;

    // Primary display first.
    virtual std::vector<Display> displays() const = 0;
    // Pixels per point of the named display; nothing when no display has that name (any more).
    virtual std::optional<double> backingScale(const QString& display) const = 0;
    // The part `source` (points from the display's top-left corner) of the named display as an
    // image of `pixels`; a null image when it cannot be captured.
    virtual QImage grab(const QString& display, const QRectF& source, QSize pixels) = 0;

    using Captured = std::function<void(QImage)>;
    // The same, answered later where the desktop captures for us (Wayland); captured runs once,
    // unless this grabber is destroyed first.
    virtual void capture(const QString& display, const QRectF& source, QSize pixels,
                         Captured captured) {
        captured(grab(display, source, pixels));
    }
};

} // namespace Blinkwit
