#include "PortalHotKeyBackend.h"

#include "KeyboardShortcuts/KeyTable.h"
#include "KeyboardShortcuts/Modifiers.h"

#include <X11/Xlib.h>
#include <array>

namespace Blinkwit {

using KeyboardShortcuts::KeyTable;
using KeyboardShortcuts::Shortcut;
namespace Modifier = KeyboardShortcuts::Modifier;

namespace {

struct TriggerModifier {
    int bit;
    const char* name;
};

// In the order the portal documentation's examples use.
constexpr std::array triggerModifiers{
    TriggerModifier{Modifier::control, "CTRL"}, TriggerModifier{Modifier::option, "ALT"},
    TriggerModifier{Modifier::shift, "SHIFT"}, TriggerModifier{Modifier::command, "LOGO"}};

} // namespace

PortalHotKeyBackend::PortalHotKeyBackend(PortalConnection& portal, DefaultsStore& store,
                                         std::vector<Command> commands, QObject* parent)
    : QObject(parent)
    , portal_(portal)
    , store_(store)
    , commands_(std::move(commands)) {}

void PortalHotKeyBackend::start(Lookup lookup) {
    if (shortcuts_)
        return;
    lookup_ = std::move(lookup);
    std::vector<PortalGlobalShortcuts::Shortcut> wanted;
    for (const Command& command : commands_) {
        const std::optional<Shortcut> stored = lookup_(command.name);
        wanted.push_back(
            {command.name.rawValue, command.description, stored ? trigger(*stored) : QString()});
    }
    shortcuts_ = new PortalGlobalShortcuts(portal_, store_, std::move(wanted), this);
    connect(shortcuts_, &PortalGlobalShortcuts::activated, this, &PortalHotKeyBackend::activated);
    shortcuts_->start();
}

int PortalHotKeyBackend::registerHotKey(const Shortcut& shortcut, int hotKeyId) {
    hotKeys_[hotKeyId] = shortcut;
    return statusOk;
}

void PortalHotKeyBackend::unregisterHotKey(int hotKeyId) {
    hotKeys_.erase(hotKeyId);
}

void PortalHotKeyBackend::activated(const QString& id) {
    const auto command = std::find_if(commands_.begin(), commands_.end(),
                                      [&](const Command& c) { return c.name.rawValue == id; });
    if (command == commands_.end())
        return;
    const std::optional<Shortcut> stored = lookup_(command->name);
    if (!stored)
        return;
    for (const auto& [hotKeyId, shortcut] : std::map(hotKeys_))
        if (shortcut == *stored) {
            deliver(hotKeyId, true);
            deliver(hotKeyId, false);
        }
}

QString PortalHotKeyBackend::trigger(const Shortcut& shortcut) {
    const std::optional<std::uint32_t> keysym = KeyTable::keysym(shortcut.carbonKeyCode);
    const char* key = keysym ? XKeysymToString(*keysym) : nullptr;
    if (!key || shortcut.carbonModifiers & Modifier::function)
        return {};
    QString trigger;
    for (const TriggerModifier& modifier : triggerModifiers)
        if (shortcut.carbonModifiers & modifier.bit)
            trigger += QLatin1String(modifier.name) + QLatin1Char('+');
    return trigger + QLatin1String(key);
}

} // namespace Blinkwit
