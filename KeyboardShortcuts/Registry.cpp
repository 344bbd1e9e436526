#include "Registry.h"

#include "MenuKeyMonitor.h"
#include "settings/DefaultsStore.h"

#include <QCoreApplication>
#include <algorithm>
#include <ostream>

namespace Blinkwit::KeyboardShortcuts {

namespace {

bool contains(const std::vector<Name>& names, const Name& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

Registry::Registry(DefaultsStore& store, HotKeyBackend& backend, std::ostream& log, QObject* parent)
    : QObject(parent)
    , store_(store)
    , backend_(backend)
    , log_(log) {
    backend_.setEventHandler([this](int id, bool pressed) { handleEvent(id, pressed); });
    if (QCoreApplication::instance())
        new MenuKeyMonitor(*this);
}

Registry::~Registry() {
    backend_.setEventHandler(nullptr);
    for (const auto& [id, hotKey] : hotKeys_)
        if (hotKey.held)
            backend_.unregisterHotKey(id);
}

std::optional<Shortcut> Registry::getShortcut(const Name& name) {
    declare(name);
    const QVariant value = store_.value(name.storageKey());
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return Shortcut::fromJson(value.toString().toUtf8());
}

void Registry::setShortcut(const std::optional<Shortcut>& shortcut, const Name& name) {
    declare(name);
    if (shortcut) {
        store_.setValue(name.storageKey(), QString::fromUtf8(shortcut->toJson()));
    } else {
        if (!getShortcut(name))
            return;
        // A stored false keeps a cleared default from coming back at the next start.
        if (name.defaultShortcut)
            store_.setValue(name.storageKey(), false);
        else
            store_.remove(name.storageKey());
    }
    refreshRegistrations();
    emit shortcutByNameDidChange(name);
}

void Registry::reset(const std::vector<Name>& names) {
    for (const Name& name : names)
        setShortcut(name.defaultShortcut, name);
}

void Registry::onKeyUp(const Name& name, Action action) {
    addHandler(keyUpHandlers_, name, std::move(action));
}

void Registry::onKeyDown(const Name& name, Action action) {
    addHandler(keyDownHandlers_, name, std::move(action));
}

void Registry::removeHandler(const Name& name) {
    for (HandlerLists* lists : {&keyDownHandlers_, &keyUpHandlers_})
        std::erase_if(*lists, [&](const auto& entry) { return entry.first == name; });
    refreshRegistrations();
}

void Registry::removeAllHandlers() {
    keyDownHandlers_.clear();
    keyUpHandlers_.clear();
    refreshRegistrations();
}

void Registry::enable(const std::vector<Name>& names) {
    for (const Name& name : names)
        std::erase(disabled_, name);
    refreshRegistrations();
}

void Registry::disable(const std::vector<Name>& names) {
    for (const Name& name : names)
        if (!contains(disabled_, name))
            disabled_.push_back(name);
    refreshRegistrations();
}

bool Registry::isEnabled(const Name& name) const {
    return !contains(disabled_, name);
}

void Registry::setRecorderActive(bool isActive) {
    if (isActive) {
        if (++activeRecorders_ == 1)
            suspendAll();
    } else {
        if (activeRecorders_ == 0)
            return;
        if (--activeRecorders_ == 0)
            resumeAll();
    }
    emit recorderActiveStatusDidChange(isActive);
}

bool Registry::isHotKeyActive(const Shortcut& shortcut) const {
    return std::any_of(hotKeys_.begin(), hotKeys_.end(), [&](const auto& entry) {
        return entry.second.held && entry.second.shortcut == shortcut;
    });
}

void Registry::dispatchKeyDown(const Shortcut& shortcut) {
    dispatch(keyDownHandlers_, shortcut);
}

void Registry::dispatchKeyUp(const Shortcut& shortcut) {
    dispatch(keyUpHandlers_, shortcut);
}

void Registry::declare(const Name& name) {
    if (contains(declared_, name))
        return;
    declared_.push_back(name);
    if (name.defaultShortcut && !store_.value(name.storageKey()).isValid())
        setShortcut(name.defaultShortcut, name);
}

void Registry::addHandler(HandlerLists& lists, const Name& name, Action action) {
    declare(name);
    auto entry = std::find_if(lists.begin(), lists.end(),
                              [&](const auto& candidate) { return candidate.first == name; });
    if (entry == lists.end())
        entry = lists.insert(lists.end(), {name, {}});
    entry->second.push_back(std::move(action));
    refreshRegistrations();
}

bool Registry::hasHandlers(const Name& name) const {
    const auto named = [&](const auto& entry) { return entry.first == name; };
    return std::any_of(keyDownHandlers_.begin(), keyDownHandlers_.end(), named) ||
           std::any_of(keyUpHandlers_.begin(), keyUpHandlers_.end(), named);
}

std::set<Shortcut> Registry::wantedShortcuts() {
    std::set<Shortcut> wanted;
    for (const Name& name : std::vector(declared_))
        if (hasHandlers(name) && isEnabled(name))
            if (const auto shortcut = getShortcut(name))
                wanted.insert(*shortcut);
    return wanted;
}

// A shortcut stays registered while any enabled name with handlers is bound to it, so
// rebinding one name never silences another that shares its old keys.
void Registry::refreshRegistrations() {
    const std::set<Shortcut> wanted = wantedShortcuts();
    for (const Shortcut& shortcut : std::set(registered_))
        if (!wanted.contains(shortcut))
            unregisterHotKey(shortcut);
    for (const Shortcut& shortcut : wanted)
        if (!registered_.contains(shortcut))
            registerHotKey(shortcut);
}

void Registry::registerHotKey(const Shortcut& shortcut) {
    const int id = ++lastHotKeyId_;
    // A failed registration still counts as registered, so it is reported once, not at
    // every change.
    registered_.insert(shortcut);
    HotKey hotKey{shortcut};
    if (isPaused() || holdHotKey(id, hotKey))
        hotKeys_.emplace(id, hotKey);
}

void Registry::unregisterHotKey(const Shortcut& shortcut) {
    registered_.erase(shortcut);
    for (auto entry = hotKeys_.begin(); entry != hotKeys_.end(); ++entry) {
        if (entry->second.shortcut != shortcut)
            continue;
        if (entry->second.held)
            backend_.unregisterHotKey(entry->first);
        hotKeys_.erase(entry);
        return;
    }
}

bool Registry::holdHotKey(int id, HotKey& hotKey) {
    const int status = backend_.registerHotKey(hotKey.shortcut, id);
    if (status != HotKeyBackend::statusOk) {
        log_ << "Error registering hotkey " << hotKey.shortcut.description().toStdString() << ": "
             << status << std::endl;
        return false;
    }
    hotKey.held = true;
    return true;
}

void Registry::suspendAll() {
    for (auto& [id, hotKey] : hotKeys_) {
        if (!hotKey.held)
            continue;
        backend_.unregisterHotKey(id);
        hotKey.held = false;
    }
}

void Registry::resumeAll() {
    for (auto entry = hotKeys_.begin(); entry != hotKeys_.end();) {
        if (entry->second.held || holdHotKey(entry->first, entry->second)) {
            ++entry;
            continue;
        }
        registered_.erase(entry->second.shortcut);
        entry = hotKeys_.erase(entry);
    }
}

void Registry::dispatch(const HandlerLists& lists, const Shortcut& shortcut) {
    // A handler may change the registry; walk a copy.
    const HandlerLists snapshot = lists;
    for (const auto& [name, actions] : snapshot)
        if (isEnabled(name) && getShortcut(name) == shortcut)
            for (const Action& action : actions)
                action();
}

void Registry::handleEvent(int hotKeyId, bool pressed) {
    const auto found = hotKeys_.find(hotKeyId);
    if (found == hotKeys_.end() || !found->second.held)
        return;
    const Shortcut shortcut = found->second.shortcut;
    if (pressed)
        dispatchKeyDown(shortcut);
    else
        dispatchKeyUp(shortcut);
}

} // namespace Blinkwit::KeyboardShortcuts
