#pragma once

#include "app/RegionCapture.h"

#include <QObject>
#include <functional>

namespace Blinkwit {

class PortalConnection;

// Captures through the Screenshot portal: a screenshot of the whole desktop without the
// portal's own dialog, cut down to the region. The desktop may ask the user once for the
// permission, and a denial may go unanswered: the request ends at its time limit. The portal
// leaves the screenshot in a file, which is removed once read.
class PortalScreenshot final : public QObject, public RegionCapture {
    Q_OBJECT
public:
    static constexpr const char* interface = "org.freedesktop.portal.Screenshot";
    static constexpr double defaultTimeLimit = 60.0;

    // desktop gives the bounds of all displays together, in the region's coordinates.
    PortalScreenshot(PortalConnection& portal, std::function<QRectF()> desktop,
                     double timeLimit = defaultTimeLimit, QObject* parent = nullptr);

    void capture(const QRectF& region, QSize pixels, Completion completion) override;

    // The part of a screenshot of the whole desktop that shows region, as an image of pixels;
    // null when the region lies outside the screenshot.
    static QImage crop(const QImage& screenshot, const QRectF& desktop, const QRectF& region,
                       QSize pixels);

private:
    PortalConnection& portal_;
    std::function<QRectF()> desktop_;
    double timeLimit_;
};

} // namespace Blinkwit
