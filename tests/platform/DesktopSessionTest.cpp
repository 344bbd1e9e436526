#include "platform/DesktopSession.h"

#include <gtest/gtest.h>

using namespace Blinkwit;
using Desktop = DesktopSession::Desktop;

namespace {

DesktopSession detect(std::initializer_list<std::pair<const char*, const char*>> variables) {
    QProcessEnvironment environment;
    for (const auto& [name, value] : variables)
        environment.insert(QLatin1String(name), QLatin1String(value));
    return DesktopSession::detect(environment);
}

TEST(DesktopSession, TellsTheSessionKindAndTheDesktopFromTheEnvironment) {
    const DesktopSession ubuntu = detect({{"XDG_SESSION_TYPE", "wayland"},
                                          {"WAYLAND_DISPLAY", "wayland-0"},
                                          {"XDG_CURRENT_DESKTOP", "ubuntu:GNOME"}});
    EXPECT_TRUE(ubuntu.wayland);
    EXPECT_EQ(ubuntu.desktop, Desktop::gnome);
    EXPECT_FALSE(ubuntu.hasDataControl());
    EXPECT_EQ(ubuntu.describe(), "Wayland (ubuntu:GNOME)");

    // A session started by hand may set only WAYLAND_DISPLAY; sway leaves its socket.
    const DesktopSession sway = detect({{"WAYLAND_DISPLAY", "wayland-1"}, {"SWAYSOCK", "/run/s"}});
    EXPECT_TRUE(sway.wayland);
    EXPECT_EQ(sway.desktop, Desktop::wlroots);
    EXPECT_TRUE(sway.hasDataControl());

    EXPECT_EQ(detect({{"WAYLAND_DISPLAY", "w"}, {"XDG_CURRENT_DESKTOP", "KDE"}}).desktop,
              Desktop::kde);
    EXPECT_EQ(detect({{"WAYLAND_DISPLAY", "w"}, {"XDG_CURRENT_DESKTOP", "Hyprland"}}).desktop,
              Desktop::hyprland);

    const DesktopSession xfce =
        detect({{"XDG_SESSION_TYPE", "x11"}, {"XDG_CURRENT_DESKTOP", "XFCE"}});
    EXPECT_FALSE(xfce.wayland);
    EXPECT_FALSE(xfce.hasDataControl());
    EXPECT_EQ(xfce.describe(), "X11 (XFCE)");
}

} // namespace
