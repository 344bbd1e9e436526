#pragma once

#include <QPointF>
#include <QRect>
#include <QSize>

namespace Blinkwit {

// The stored panel origin is the frame's bottom-left corner, measured from the bottom-left of
// the primary screen with y growing upwards; Qt measures windows from the top-left of the
// virtual desktop with y growing downwards. This is the only place that converts between them.
class DesktopCoordinates {
public:
    explicit DesktopCoordinates(const QRect& primaryScreen)
        : primary_(primaryScreen) {}

    QPointF originOf(const QRect& frame) const;
    QRect frameAt(QPointF origin, QSize size) const;

private:
    QRect primary_;
};

} // namespace Blinkwit
