#pragma once

#include "KeyboardShortcuts/HotKeyBackend.h"
#include "KeyboardShortcuts/Name.h"
#include "PortalGlobalShortcuts.h"

#include <QObject>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace Blinkwit {

// Hot keys in a Wayland session, through the GlobalShortcuts portal. The desktop binds our
// commands by name and may give them other keys than the stored ones (which it receives as
// preferences); an activated name runs the hot key of its stored shortcut, as a release of
// that key would on X11.
class PortalHotKeyBackend final : public QObject, public KeyboardShortcuts::HotKeyBackend {
    Q_OBJECT
public:
    struct Command {
        KeyboardShortcuts::Name name;
        QString description;
    };
    using Lookup = std::function<std::optional<KeyboardShortcuts::Shortcut>(
        const KeyboardShortcuts::Name& name)>;

    PortalHotKeyBackend(PortalConnection& portal, DefaultsStore& store,
                        std::vector<Command> commands, QObject* parent = nullptr);

    // Binds the commands with their stored shortcuts as preferred keys. lookup gives a name's
    // stored shortcut, now and whenever the desktop activates the name.
    void start(Lookup lookup);
    PortalGlobalShortcuts* shortcuts() const { return shortcuts_; }

    int registerHotKey(const KeyboardShortcuts::Shortcut& shortcut, int hotKeyId) override;
    void unregisterHotKey(int hotKeyId) override;
    bool isTakenElsewhere(const KeyboardShortcuts::Shortcut&) override { return false; }
    std::optional<int> carbonKeyCodeForNativeKey(std::uint32_t) override { return std::nullopt; }

    // The trigger in the form the portal's shortcut triggers take ("CTRL+SHIFT+r");
    // empty when a part has no name there (the function modifier, an unknown key).
    static QString trigger(const KeyboardShortcuts::Shortcut& shortcut);

private:
    void activated(const QString& id);

    PortalConnection& portal_;
    DefaultsStore& store_;
    std::vector<Command> commands_;
    Lookup lookup_;
    PortalGlobalShortcuts* shortcuts_ = nullptr;
    std::map<int, KeyboardShortcuts::Shortcut> hotKeys_;
};

} // namespace Blinkwit
