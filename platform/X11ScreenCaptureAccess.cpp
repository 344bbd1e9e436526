#include "X11ScreenCaptureAccess.h"

#include <QGuiApplication>

namespace Blinkwit {

bool X11ScreenCaptureAccess::granted() const {
    const bool wayland =
        qgetenv("XDG_SESSION_TYPE") == "wayland" || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    return !wayland && QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace Blinkwit
