#pragma once

namespace Blinkwit {

// What an X11 session lets this program do with other programs.
class X11Session {
public:
    X11Session() = delete;

    // Other programs' selections can be read and a copy sent to them: an X11 session (not
    // Wayland, whose X server shows only its own clients' keys) on an X connection with XTest.
    static bool allowsSelectionAccess();
    // The screen can be captured: an X11 session on an X connection (Wayland's X server shows
    // only its own clients' windows).
    static bool allowsScreenCapture();
};

} // namespace Blinkwit
