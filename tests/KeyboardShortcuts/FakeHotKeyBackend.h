#pragma once

#include "KeyboardShortcuts/HotKeyBackend.h"

#include <map>
#include <set>

namespace Blinkwit::Testing {

// Hot keys without a desktop: records what is held, refuses combinations "owned" elsewhere
// with X's BadAccess status, and fires events on request.
class FakeHotKeyBackend final : public KeyboardShortcuts::HotKeyBackend {
public:
    using Shortcut = KeyboardShortcuts::Shortcut;

    int registerHotKey(const Shortcut& shortcut, int hotKeyId) override {
        ++registrations;
        if (takenElsewhere.contains(shortcut))
            return 10;
        held[hotKeyId] = shortcut;
        return statusOk;
    }
    void unregisterHotKey(int hotKeyId) override { held.erase(hotKeyId); }
    bool isTakenElsewhere(const Shortcut& shortcut) override {
        return takenElsewhere.contains(shortcut);
    }
    std::optional<int> carbonKeyCodeForNativeKey(std::uint32_t) override { return std::nullopt; }

    std::multiset<Shortcut> heldShortcuts() const {
        std::multiset<Shortcut> shortcuts;
        for (const auto& [id, shortcut] : held)
            shortcuts.insert(shortcut);
        return shortcuts;
    }
    // Presses and releases every hot key held for the shortcut, like the desktop would.
    void hit(const Shortcut& shortcut) {
        for (const auto& [id, heldShortcut] : std::map(held))
            if (heldShortcut == shortcut) {
                fire(id, true);
                fire(id, false);
            }
    }
    void fire(int hotKeyId, bool pressed) const { deliver(hotKeyId, pressed); }

    std::map<int, Shortcut> held;
    std::set<Shortcut> takenElsewhere;
    int registrations = 0;
};

} // namespace Blinkwit::Testing
