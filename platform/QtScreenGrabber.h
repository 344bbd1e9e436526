#pragma once

#include "app/ScreenGrabber.h"

namespace Blinkwit {

// The desktop's screens through Qt: their geometry, device pixel ratio and contents (on X11 the
// root window's, as composited).
class QtScreenGrabber final : public ScreenGrabber {
public:
    std::vector<Display> displays() const override;
    std::optional<double> backingScale(const QString& display) const override;
    QImage grab(const QString& display, const QRectF& source, QSize pixels) override;
};

} // namespace Blinkwit
