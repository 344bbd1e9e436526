#pragma once

#include "Shortcut.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace Blinkwit::KeyboardShortcuts {

// The desktop's global hot keys. Events arrive on the main thread through the event handler,
// tagged with the identifier the hot key was registered under.
class HotKeyBackend {
public:
    using EventHandler = std::function<void(int hotKeyId, bool pressed)>;

    // Status codes of our own; the platform's codes are positive.
    static constexpr int statusOk = 0;
    static constexpr int statusUnavailable = -1; // No desktop that offers global hot keys.
    static constexpr int statusUnmappable = -2;  // The keyboard has no such key or modifier.

    virtual ~HotKeyBackend() = default;

    // statusOk, or why the hot key could not be registered.
    virtual int registerHotKey(const Shortcut& shortcut, int hotKeyId) = 0;
    virtual void unregisterHotKey(int hotKeyId) = 0;
    // Whether another program already holds the combination.
    virtual bool isTakenElsewhere(const Shortcut& shortcut) = 0;
    // The key code for a key event's native scan code, when the desktop can tell.
    virtual std::optional<int> carbonKeyCodeForNativeKey(std::uint32_t nativeScanCode) = 0;

    void setEventHandler(EventHandler handler) { handler_ = std::move(handler); }

protected:
    void deliver(int hotKeyId, bool pressed) const {
        if (handler_)
            handler_(hotKeyId, pressed);
    }

private:
    EventHandler handler_;
};

} // namespace Blinkwit::KeyboardShortcuts
