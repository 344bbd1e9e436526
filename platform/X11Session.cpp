#include "X11Session.h"

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace Blinkwit {

namespace {

bool isWaylandSession() {
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool hasExtension(xcb_connection_t* connection, const char* name) {
    const auto cookie = xcb_query_extension(connection, std::uint16_t(std::strlen(name)), name);
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(connection, cookie, nullptr);
    const bool present = reply && reply->present;
    std::free(reply);
    return present;
}

} // namespace

bool X11Session::allowsScreenCapture() {
    return !isWaylandSession() && QGuiApplication::platformName() == QLatin1String("xcb");
}

bool X11Session::allowsSelectionAccess() {
    if (isWaylandSession() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 && x11->connection() && hasExtension(x11->connection(), "XTEST");
}

} // namespace Blinkwit
