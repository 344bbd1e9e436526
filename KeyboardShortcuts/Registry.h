#pragma once

#include "HotKeyBackend.h"
#include "Name.h"
#include "Shortcut.h"

#include <QObject>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace Blinkwit {
class DefaultsStore;
}

namespace Blinkwit::KeyboardShortcuts {

// The named global shortcuts: their bindings live in the defaults store, and every shortcut
// that an enabled name with handlers is bound to is registered once as a hot key. Main thread
// only. The store and the backend must outlive the registry, which takes the backend's event
// handler for itself: one registry per backend.
class Registry final : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void()>;

    // The diagnostics of failed registrations go to log (standard output in the program).
    Registry(DefaultsStore& store, HotKeyBackend& backend, std::ostream& log,
             QObject* parent = nullptr);
    ~Registry() override;

    std::optional<Shortcut> getShortcut(const Name& name);
    void setShortcut(const std::optional<Shortcut>& shortcut, const Name& name);
    void reset(const std::vector<Name>& names);

    void onKeyUp(const Name& name, Action action);
    void onKeyDown(const Name& name, Action action);
    void removeHandler(const Name& name);
    void removeAllHandlers();

    void enable(const std::vector<Name>& names);
    void disable(const std::vector<Name>& names);
    bool isEnabled(const Name& name) const;

    // Recorders report capturing here; while any captures, every hot key is released so that
    // the keys being recorded reach the recorder.
    void setRecorderActive(bool isActive);
    bool isPaused() const { return activeRecorders_ > 0; }

    // Whether the shortcut is currently held as a hot key (not suspended, not failed).
    bool isHotKeyActive(const Shortcut& shortcut) const;
    // Run the handlers of every name bound to the shortcut.
    void dispatchKeyDown(const Shortcut& shortcut);
    void dispatchKeyUp(const Shortcut& shortcut);

    HotKeyBackend& backend() const { return backend_; }

signals:
    void shortcutByNameDidChange(const Blinkwit::KeyboardShortcuts::Name& name);
    void recorderActiveStatusDidChange(bool isActive);

private:
    struct HotKey {
        Shortcut shortcut;
        bool held = false; // False while suspended by a recorder.
    };
    using HandlerLists = std::vector<std::pair<Name, std::vector<Action>>>;

    void declare(const Name& name);
    void addHandler(HandlerLists& lists, const Name& name, Action action);
    bool hasHandlers(const Name& name) const;
    std::set<Shortcut> wantedShortcuts();
    void refreshRegistrations();
    void registerHotKey(const Shortcut& shortcut);
    void unregisterHotKey(const Shortcut& shortcut);
    bool holdHotKey(int id, HotKey& hotKey);
    void suspendAll();
    void resumeAll();
    void dispatch(const HandlerLists& lists, const Shortcut& shortcut);
    void handleEvent(int hotKeyId, bool pressed);

    DefaultsStore& store_;
    HotKeyBackend& backend_;
    std::ostream& log_;
    std::vector<Name> declared_;
    HandlerLists keyDownHandlers_;
    HandlerLists keyUpHandlers_;
    std::vector<Name> disabled_;
    std::set<Shortcut> registered_;
    std::map<int, HotKey> hotKeys_;
    int lastHotKeyId_ = 0;
    int activeRecorders_ = 0;
};

} // namespace Blinkwit::KeyboardShortcuts
