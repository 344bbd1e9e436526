#include "DesktopCoordinates.h"

#include <cmath>

namespace Blinkwit {

QPointF DesktopCoordinates::originOf(const QRect& frame) const {
    const int primaryBottom = primary_.y() + primary_.height();
    return {double(frame.x() - primary_.x()), double(primaryBottom - (frame.y() + frame.height()))};
}

QRect DesktopCoordinates::frameAt(QPointF origin, QSize size) const {
    const int primaryBottom = primary_.y() + primary_.height();
    const auto x = int(std::lround(origin.x())) + primary_.x();
    const auto y = primaryBottom - int(std::lround(origin.y())) - size.height();
    return {x, y, size.width(), size.height()};
}

} // namespace Blinkwit
