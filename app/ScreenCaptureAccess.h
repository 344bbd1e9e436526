#pragma once

namespace Blinkwit {

// Whether this program may capture the screen, and asking the desktop for it.
class ScreenCaptureAccess {
public:
    virtual ~ScreenCaptureAccess() = default;

    // Asks nothing of the user.
    virtual bool granted() const = 0;
    // Asks the desktop for access; it may ask the user.
    virtual void request() = 0;
};

} // namespace Blinkwit
