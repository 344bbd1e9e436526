#pragma once

class QRegion;
class QWindow;

namespace Blinkwit {

// Window-manager hints and pointer state Qt has no call for. Each does nothing outside X11.
class X11WindowHints {
public:
    X11WindowHints() = delete;

    // Ask for the window on every workspace (virtual desktop).
    static void showOnAllDesktops(QWindow* window);
    // Ask a compositor that offers it (KWin) to blur what lies behind region (device-independent
    // pixels); null removes the request.
    static void setBlurBehind(QWindow* window, const QRegion* region);
    // Whether the left mouse button is down now, as the X server sees it (true outside X11):
    // Qt may hand over a press after the button's release has already been read.
    static bool leftButtonHeld();
    // Ask to leave the window out of task bars and pagers (window switchers), or to list it.
    static void setSkipTaskbar(QWindow* window, bool skip);
    // Ask for the window to be raised and focused even while another program is active: the
    // request names a pager as its source, as tray programs do, which window managers grant
    // past their focus-stealing prevention. A window not yet mapped is asked for once it is.
    static void activate(QWindow* window);
};

} // namespace Blinkwit
