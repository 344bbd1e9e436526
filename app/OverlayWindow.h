#pragma once

#include <QPointer>
#include <QScreen>
#include <QWidget>

namespace Blinkwit {

class RegionSelectionController;
class SelectionView;

// A borderless window over one whole display, above every other window (full-screen ones too)
// and on every workspace: not managed by the window manager, so none can move, decorate or
// stack it. Translucent; where the window system cannot blend, it shows a still of the display.
class OverlayWindow final : public QWidget {
    Q_OBJECT
public:
    OverlayWindow(QScreen& screen, RegionSelectionController& controller);

    QScreen* displayScreen() const { return screen_; }
    SelectionView* view() const { return view_; }

    // Shows a still of the display taken now (not compositing), or what lies behind (compositing).
    void showStill(bool compositing);
    // Puts the window on screen, with the keyboard when asked.
    void present(bool withKeyboard);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QPointer<QScreen> screen_;
    SelectionView* view_;
};

} // namespace Blinkwit
