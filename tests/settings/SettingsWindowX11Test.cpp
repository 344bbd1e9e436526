#include "KeyboardShortcuts/Registry.h"
#include "platform/UnavailableHotKeyBackend.h"
#include "settings/AppSettings.h"
#include "settings/AutostartEntry.h"
#include "settings/InMemoryDefaultsStore.h"
#include "settings/SettingsWindowController.h"
#include "tests/support/X11Testing.h"

#include <QTemporaryDir>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>
#include <xcb/xcb.h>

using namespace Blinkwit;

namespace {

// A second connection to the X server that sees the requests clients send to the window
// manager through the root window.
class RootWatcher {
public:
    RootWatcher()
        : connection_(xcb_connect(nullptr, nullptr)) {
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        const char* name = "_NET_ACTIVE_WINDOW";
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_, xcb_intern_atom(connection_, 0, std::uint16_t(std::strlen(name)), name),
            nullptr);
        activeWindow_ = reply->atom;
        std::free(reply);
        xcb_flush(connection_);
    }
    ~RootWatcher() { xcb_disconnect(connection_); }

    // The source indications of the activation requests for the window received so far.
    std::vector<std::uint32_t> activationSources(xcb_window_t window) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            if ((event->response_type & 0x7F) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (message->type == activeWindow_ && message->window == window)
                    sources_.push_back(message->data.data32[0]);
            }
            std::free(event);
        }
        return sources_;
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
    xcb_atom_t activeWindow_ = 0;
    std::vector<std::uint32_t> sources_;
};

// On X11 every show asks the window manager for the window the way a pager does (source 2),
// which focus-stealing prevention lets through while another program is active.
TEST(SettingsWindowX11Test, EveryShowAsksForTheWindowAsAPagerDoes) {
    if (!Testing::x11Available())
        GTEST_SKIP() << "needs an X server (run under scripts/with-display)";
    RootWatcher watcher;
    InMemoryDefaultsStore store;
    AppSettings settings(store);
    UnavailableHotKeyBackend backend;
    std::ostringstream log;
    KeyboardShortcuts::Registry shortcuts(store, backend, log);
    QTemporaryDir config;
    AutostartEntry autostart(config.filePath("autostart/com.blinkwit.app.desktop"), QString());
    SettingsWindowController controller({settings, shortcuts, autostart});

    const auto asked = [&](std::size_t times) {
        const auto id = xcb_window_t(controller.window()->windowHandle()->winId());
        return Testing::waitFor([&] {
            const auto sources = watcher.activationSources(id);
            return sources.size() >= times &&
                   std::count(sources.begin(), sources.end(), 2u) >= std::ptrdiff_t(times);
        });
    };
    controller.show();
    EXPECT_TRUE(asked(1)) << "once mapped for the first time";
    controller.show();
    EXPECT_TRUE(asked(2)) << "while on screen";
    controller.window()->close();
    // Shown again only once it is off the screen, so that the request has to wait for the map.
    ASSERT_TRUE(
        Testing::waitFor([&] { return !controller.window()->windowHandle()->isExposed(); }));
    controller.show();
    EXPECT_TRUE(asked(3)) << "once mapped again";
}

} // namespace
