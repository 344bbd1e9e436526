#pragma once

#include <QString>

namespace Blinkwit {

// What a Wayland session lets Blinkwit do, as the permission window explains it.
struct WaylandAccess {
    enum class HotKeys {
        desktop,      // the desktop delivers them (GlobalShortcuts portal)
        inConfig,     // delivered once the user binds our names in the compositor's config
        needsInstall, // the portal serves only programs it knows by their desktop entry
        starting,     // the desktop has not answered yet
        byHand,       // the user binds `blinkwit --command NAME` in the desktop's settings
    };
    enum class Selection {
        shared,      // read at once (GNOME shares it with X11 programs, or data-control)
        whenFocused, // read once the reader panel has taken the keyboard
    };
    enum class Capture { portal, grim, none };

    QString desktop; // the desktop's name as the user knows it; empty when unknown
    HotKeys hotKeys = HotKeys::byHand;
    bool canConfigureHotKeys = false; // the desktop opens its own settings for our hot keys
    Selection selection = Selection::whenFocused;
    bool copyOffered = false; // the desktop can send Ctrl+C for us, with the user's consent
    bool copyEnabled = false;
    Capture capture = Capture::none;
};

} // namespace Blinkwit
