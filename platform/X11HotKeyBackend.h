#pragma once

#include "KeyboardShortcuts/HotKeyBackend.h"

#include <QAbstractNativeEventFilter>
#include <map>
#include <memory>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace Blinkwit {

// Global hot keys as passive key grabs on the root window, one per lock-key variant so that
// NumLock or CapsLock being on does not hide them. Events are read by a native event filter on
// Qt's own connection, so they arrive on the main thread.
class X11HotKeyBackend final : public KeyboardShortcuts::HotKeyBackend,
                               public QAbstractNativeEventFilter {
public:
    // This backend on an X11 session; elsewhere one that refuses every registration.
    static std::unique_ptr<KeyboardShortcuts::HotKeyBackend> createForCurrentPlatform();

    X11HotKeyBackend(xcb_connection_t* connection, xcb_window_t root);
    ~X11HotKeyBackend() override;
    X11HotKeyBackend(const X11HotKeyBackend&) = delete;
    X11HotKeyBackend& operator=(const X11HotKeyBackend&) = delete;

    int registerHotKey(const KeyboardShortcuts::Shortcut& shortcut, int hotKeyId) override;
    void unregisterHotKey(int hotKeyId) override;
    bool isTakenElsewhere(const KeyboardShortcuts::Shortcut& shortcut) override;
    std::optional<int> carbonKeyCodeForNativeKey(std::uint32_t nativeScanCode) override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Grab {
        KeyboardShortcuts::Shortcut shortcut;
        std::vector<xcb_keycode_t> keycodes;
        std::uint16_t modifiers = 0;
        bool held = false;
    };

    // Fills in key codes and mask for the current keyboard; false when it has no such key.
    bool resolve(Grab& grab) const;
    // X's status of the first refused request, or 0; a refused grab leaves nothing behind.
    int grab(Grab& grab);
    void ungrab(Grab& grab);
    void ungrab(Grab& grab, const std::vector<std::uint16_t>& variants);
    std::vector<std::uint16_t> lockVariants() const;
    std::uint16_t lockMasks() const;
    void loadKeyboard();
    void reloadKeyboard();
    bool handleKey(const xcb_key_press_event_t& event, bool pressed);
    bool isKeyboardChange(const xcb_generic_event_t& event) const;

    xcb_connection_t* connection_;
    xcb_window_t root_;
    xcb_key_symbols_t* symbols_ = nullptr;
    std::uint16_t numLockMask_ = 0;
    std::uint16_t scrollLockMask_ = 0;
    std::uint8_t xkbFirstEvent_ = 0;
    std::map<int, Grab> grabs_;
    std::map<xcb_keycode_t, int> pressed_;
};

} // namespace Blinkwit
