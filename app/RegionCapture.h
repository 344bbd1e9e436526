#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <functional>

namespace Blinkwit {

// A still image of part of the desktop, taken without blocking: on Wayland the desktop takes
// it for us, and may first ask the user.
class RegionCapture {
public:
    // A null image when nothing could be captured.
    using Completion = std::function<void(QImage)>;

    virtual ~RegionCapture() = default;

    // region: points on the desktop, from the primary display's top-left corner; the image has
    // exactly pixels. completion runs once, later.
    virtual void capture(const QRectF& region, QSize pixels, Completion completion) = 0;
};

} // namespace Blinkwit
