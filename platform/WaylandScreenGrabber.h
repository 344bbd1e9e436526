#pragma once

#include "QtScreenGrabber.h"
#include "app/RegionCapture.h"

namespace Blinkwit {

// The displays as XWayland reports them, captured by the desktop (its Screenshot portal, or
// grim on wlroots): a Wayland session lets no program read the screen itself.
class WaylandScreenGrabber final : public ScreenGrabber {
public:
    explicit WaylandScreenGrabber(RegionCapture& capture)
        : capture_(capture) {}

    std::vector<Display> displays() const override { return screens_.displays(); }
    std::optional<double> backingScale(const QString& display) const override {
        return screens_.backingScale(display);
    }
    // Only the desktop captures here, and it answers later: always a null image.
    QImage grab(const QString&, const QRectF&, QSize) override { return {}; }
    void capture(const QString& display, const QRectF& source, QSize pixels,
                 Captured captured) override;

    // All displays together.
    QRectF desktop() const;

private:
    QtScreenGrabber screens_;
    RegionCapture& capture_;
};

} // namespace Blinkwit
