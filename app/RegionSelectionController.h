#pragma once

#include "RegionSelector.h"

#include <QObject>
#include <memory>
#include <vector>

namespace Blinkwit {

class CompositorWatcher;
class OverlayWindow;
class Scheduler;

// Covers every display with a dimmed overlay, lets the user drag a rectangle on any of them and
// reports it in desktop coordinates. Escape, a drag of 6 points or less in either direction, or
// a display plugged in or out meanwhile report nothing.
class RegionSelectionController final : public QObject, public RegionSelector {
    Q_OBJECT
public:
    // A selection must be wider and higher than this, in points.
    static constexpr double minimumSize = 6;
    // When blending stops while the overlays are up, they step aside this long (seconds) for
    // the windows beneath to repaint before the displays' stills are taken.
    static constexpr double repaintDelay = 0.15;

    explicit RegionSelectionController(Scheduler& scheduler, QObject* parent = nullptr);
    ~RegionSelectionController() override;

    // The program's one instance, created on first use and kept until exit.
    static RegionSelectionController& shared();

    bool selecting() const override { return !windows_.empty(); }
    void begin(Completion completion) override;
    // Ends the selection: rect is in points on the desktop, from the primary display's top-left
    // corner, or nothing for a cancel.
    void finish(std::optional<QRectF> rect);

    // One per display, primary first; empty when no selection is on screen.
    const std::vector<OverlayWindow*>& windows() const { return windows_; }

private:
    void watchDesktop();
    // Each overlay with a fresh still where needed; the keyboard to the pointer's display.
    void showOverlays();
    void setCompositing(bool compositing);
    void cancelForNewDisplays();

    Scheduler& scheduler_;
    std::unique_ptr<CompositorWatcher> compositor_;
    std::vector<OverlayWindow*> windows_;
    Completion completion_;
    // Counts selections, so that a step scheduled for one does nothing in the next.
    unsigned long long selection_ = 0;
};

} // namespace Blinkwit
