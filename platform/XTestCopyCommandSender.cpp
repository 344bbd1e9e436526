#include "XTestCopyCommandSender.h"

#include <QGuiApplication>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <array>

namespace Blinkwit {

namespace {

// Rows of the modifier map that a hot key can use: Shift, Control, Mod1 (Alt), Mod4 (Super).
constexpr std::array hotKeyModifierRows{ShiftMapIndex, ControlMapIndex, Mod1MapIndex, Mod4MapIndex};

bool isPressed(const std::array<char, 32>& keys, KeyCode code) {
    return (keys[code / 8] >> (code % 8)) & 1;
}

} // namespace

XTestCopyCommandSender::XTestCopyCommandSender(Scheduler& scheduler)
    : timer_(scheduler) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    // A connection of our own: Xlib round trips on Qt's could race its event reader.
    if (QGuiApplication::platformName() == QLatin1String("xcb") && x11 && x11->display())
        display_ = XOpenDisplay(DisplayString(x11->display()));
}

XTestCopyCommandSender::~XTestCopyCommandSender() {
    if (display_)
        XCloseDisplay(display_);
}

void XTestCopyCommandSender::postCommandC(std::function<void()> posted) {
    if (!display_) {
        posted();
        return;
    }
    waiting_.push_back(std::move(posted));
    if (timer_.isActive())
        return;
    deadline_ = timer_.scheduler().now() + maxWait;
    poll();
}

bool XTestCopyCommandSender::modifiersHeld() const {
    std::array<char, 32> keys{};
    XQueryKeymap(display_, keys.data());
    XModifierKeymap* map = XGetModifierMapping(display_);
    if (!map)
        return false;
    bool held = false;
    for (const int row : hotKeyModifierRows)
        for (int slot = 0; slot < map->max_keypermod; ++slot) {
            const KeyCode code = map->modifiermap[row * map->max_keypermod + slot];
            held = held || (code != 0 && isPressed(keys, code));
        }
    XFreeModifiermap(map);
    return held;
}

void XTestCopyCommandSender::poll() {
    if (modifiersHeld() && timer_.scheduler().now() < deadline_) {
        timer_.startAfter(pollInterval, [this] { poll(); });
        return;
    }
    sendAll();
}

void XTestCopyCommandSender::sendAll() {
    const KeyCode control = XKeysymToKeycode(display_, XK_Control_L);
    const KeyCode c = XKeysymToKeycode(display_, XK_c);
    const auto callbacks = std::move(waiting_);
    waiting_.clear();
    for (const auto& posted : callbacks) {
        if (control != 0 && c != 0) {
            XTestFakeKeyEvent(display_, control, True, CurrentTime);
            XTestFakeKeyEvent(display_, c, True, CurrentTime);
            XTestFakeKeyEvent(display_, c, False, CurrentTime);
            XTestFakeKeyEvent(display_, control, False, CurrentTime);
        }
        XFlush(display_);
        posted();
    }
}

} // namespace Blinkwit
