#pragma once

#include "KeyboardShortcuts/HotKeyBackend.h"

namespace Blinkwit {

// Hot keys on a desktop that offers none to us (no X11 connection): every registration fails,
// and the program goes on without them.
class UnavailableHotKeyBackend final : public KeyboardShortcuts::HotKeyBackend {
public:
    int registerHotKey(const KeyboardShortcuts::Shortcut&, int) override {
        return statusUnavailable;
    }
    void unregisterHotKey(int) override {}
    bool isTakenElsewhere(const KeyboardShortcuts::Shortcut&) override { return false; }
    std::optional<int> carbonKeyCodeForNativeKey(std::uint32_t) override { return std::nullopt; }
};

} // namespace Blinkwit
