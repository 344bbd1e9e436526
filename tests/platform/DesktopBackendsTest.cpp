#include "app/DesktopBackends.h"

#include "KeyboardShortcuts/Registry.h"
#include "MockPortal.h"
#include "app/WaylandTextReader.h"
#include "platform/QtClipboard.h"
#include "platform/QtScheduler.h"
#include "settings/InMemoryDefaultsStore.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace Blinkwit;
using namespace Blinkwit::Testing;
using KeyboardShortcuts::Name;

namespace {

DesktopSession session(bool wayland, DesktopSession::Desktop desktop, const char* name) {
    DesktopSession session;
    session.wayland = wayland;
    session.desktop = desktop;
    session.desktopName = QLatin1String(name);
    return session;
}

class DesktopBackendsTest : public testing::Test {
protected:
    QtScheduler scheduler;
    InMemoryDefaultsStore store;
    QtClipboard clipboard;
    std::ostringstream log;
};

// The factory's Wayland choice end to end against the stand-in portal: the desktop's hot key
// reaches the registry, and the access the permission window shows follows the portal.
TEST_F(DesktopBackendsTest, AWaylandSessionGoesThroughThePortals) {
    MockPortal mock;
    ASSERT_TRUE(mock.start());
    bool focused = false;
    DesktopBackends backends(session(true, DesktopSession::Desktop::kde, "KDE"), store, scheduler,
                             clipboard, [&] { focused = true; });
    ASSERT_NE(backends.waylandReader(), nullptr);
    KeyboardShortcuts::Registry registry(store, backends.hotKeys(), log);
    QStringList ran;
    registry.onKeyUp(Name::readSelection(), [&] { ran.append("readSelection"); });
    backends.start(registry);
    ASSERT_TRUE(
        waitFor([&] { return backends.access().hotKeys == WaylandAccess::HotKeys::desktop; }));
    ASSERT_TRUE(waitFor([&] { return backends.access().copyOffered; }));
    ASSERT_TRUE(waitFor([&] { return backends.allowsScreenCapture(); }));
    EXPECT_EQ(backends.access().capture, WaylandAccess::Capture::portal);
    EXPECT_TRUE(backends.screenRegion());

    mock.activate("readSelection", true);
    EXPECT_TRUE(waitFor([&] { return ran == QStringList{"readSelection"}; }));
    EXPECT_TRUE(log.str().empty()) << log.str();

    const WaylandAccess access = backends.access();
    EXPECT_EQ(access.desktop, "KDE Plasma");
    EXPECT_TRUE(access.canConfigureHotKeys);
    EXPECT_FALSE(access.copyEnabled);
    backends.setCopyCommandEnabled(true);
    EXPECT_TRUE(backends.access().copyEnabled);
    EXPECT_EQ(store.value(QLatin1String(DesktopBackends::copyCommandKey)), QVariant(true));
    EXPECT_TRUE(backends.describe().startsWith("Wayland (KDE) session: hot keys through the "
                                               "GlobalShortcuts portal"));
    EXPECT_FALSE(focused);
}

// What the window tells about hot keys follows the portal's answer and the desktop.
TEST_F(DesktopBackendsTest, HotKeysAreExplainedAsTheDesktopAnswered) {
    const auto hotKeysOn = [&](DesktopSession::Desktop desktop, const QJsonObject& portal) {
        MockPortal mock;
        EXPECT_TRUE(mock.start());
        mock.configure(portal);
        DesktopBackends backends(session(true, desktop, "test"), store, scheduler, clipboard,
                                 nullptr);
        KeyboardShortcuts::Registry registry(store, backends.hotKeys(), log);
        backends.start(registry);
        EXPECT_TRUE(
            waitFor([&] { return backends.access().hotKeys != WaylandAccess::HotKeys::starting; }));
        return backends.access().hotKeys;
    };
    EXPECT_EQ(hotKeysOn(DesktopSession::Desktop::hyprland, {}), WaylandAccess::HotKeys::inConfig);
    EXPECT_EQ(hotKeysOn(DesktopSession::Desktop::gnome,
                        {{"registry", "missing"}, {"require_app_id", true}}),
              WaylandAccess::HotKeys::needsInstall);
    EXPECT_EQ(hotKeysOn(DesktopSession::Desktop::gnome, {{"interfaces", QJsonArray()}}),
              WaylandAccess::HotKeys::byHand);
}

// grim reads the screen of wlroots compositors, without a portal.
TEST_F(DesktopBackendsTest, SwayCapturesWithGrim) {
    DesktopBackends backends(session(true, DesktopSession::Desktop::wlroots, "sway"), store,
                             scheduler, clipboard, nullptr);
    EXPECT_TRUE(backends.allowsScreenCapture());
    EXPECT_EQ(backends.access().capture, WaylandAccess::Capture::grim);
    EXPECT_TRUE(backends.describe().contains("screen regions with grim"));
}

TEST_F(DesktopBackendsTest, AnX11SessionKeepsItsOwnWays) {
    DesktopBackends backends(session(false, DesktopSession::Desktop::other, "XFCE"), store,
                             scheduler, clipboard, nullptr);
    EXPECT_EQ(backends.waylandReader(), nullptr);
    EXPECT_FALSE(backends.screenRegion());
    EXPECT_EQ(backends.hotKeys().carbonKeyCodeForNativeKey(0), std::nullopt);
    EXPECT_TRUE(backends.describe().startsWith("X11 (XFCE) session: hot keys by X key grabs"));
}

} // namespace
