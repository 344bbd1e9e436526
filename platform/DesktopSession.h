#pragma once

#include <QProcessEnvironment>
#include <QString>

namespace Blinkwit {

// Which kind of session the program runs in, and which desktop: what decides the ways to hot
// keys, selections and screen captures.
struct DesktopSession {
    enum class Desktop {
        gnome, // Mutter: portals for shortcuts (GNOME 48+), screenshots and input; no data-control
        kde,   // KWin: the same portals, and data-control
        wlroots,  // sway, river, labwc, Wayfire: data-control and screencopy (grim), few portals
        hyprland, // data-control and screencopy; its portal forwards shortcuts bound in its config
        other,
    };

    bool wayland = false;
    Desktop desktop = Desktop::other;
    QString desktopName; // XDG_CURRENT_DESKTOP as given

    static DesktopSession detect(const QProcessEnvironment& environment);
    static DesktopSession current() { return detect(QProcessEnvironment::systemEnvironment()); }

    // In a Wayland session with XWayland, makes Qt open our windows there: on X11 the reader panel
    // places itself and stays on top, which Wayland leaves to the compositor. Call before the
    // application object exists. A platform chosen on purpose (offscreen) is kept.
    static void useXWaylandForWindows();

    // Whether the compositor lets programs read selections without focus.
    bool hasDataControl() const;
    // "Wayland (KDE)", "X11 (XFCE)"...
    QString describe() const;
};

} // namespace Blinkwit
