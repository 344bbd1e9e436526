#pragma once

#include "app/ScreenCaptureAccess.h"

namespace Blinkwit {

// An X11 session lets every client read the screen. A Wayland session does not (XWayland shows
// only X11 windows), and nothing here can ask it yet: there access is never granted.
class X11ScreenCaptureAccess final : public ScreenCaptureAccess {
public:
    bool granted() const override;
    void request() override {}
};

} // namespace Blinkwit
