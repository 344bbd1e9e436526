#pragma once

#include "app/RegionCapture.h"

#include <QObject>

namespace Blinkwit {

class Scheduler;

// Captures with grim, which reads the screen of wlroots compositors (sway, river, Hyprland)
// through their screencopy protocol. Region coordinates are the compositor's layout, which
// XWayland windows share.
class GrimCapture final : public QObject, public RegionCapture {
    Q_OBJECT
public:
    static constexpr double timeLimit = 5.0;

    explicit GrimCapture(Scheduler& scheduler, QObject* parent = nullptr);

    static bool isInstalled();

    void capture(const QRectF& region, QSize pixels, Completion completion) override;

    // grim's geometry argument: "x,y wxh" in whole points covering the region.
    static QString geometry(const QRectF& region);

private:
    Scheduler& scheduler_;
};

} // namespace Blinkwit
