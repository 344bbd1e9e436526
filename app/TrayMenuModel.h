#pragma once

#include <QObject>
#include <QString>
#include <QUuid>
#include <optional>
#include <vector>

namespace Blinkwit {

namespace KeyboardShortcuts {
class Registry;
}

class AppCoordinator;
class HistoryStore;
class UpdateChecker;

// One row of the tray menu.
struct TrayMenuItem {
    enum class Kind {
        command,
        separator,
        submenu,
        placeholder,
        historyEntry,
        clearHistory,
        update,
        settings,
        checkForUpdates,
        quit
    };

    Kind kind = Kind::separator;
    // Commands: their title, a tab and the key hint (empty when unbound).
    QString title;
    QString command;
    QUuid entryId;
    std::vector<TrayMenuItem> children;

    bool isEnabled() const { return kind != Kind::placeholder; }
};

// The tray menu's content: an update waiting to be installed, the resident commands with their
// key hints, the reading history, Settings…, Check for Updates… and Quit. Built afresh on every
// call; changed() says when a rebuild would differ.
class TrayMenuModel final : public QObject {
    Q_OBJECT
public:
    TrayMenuModel(AppCoordinator& coordinator, HistoryStore& history,
                  KeyboardShortcuts::Registry& shortcuts, UpdateChecker& updates,
                  QObject* parent = nullptr);

    std::vector<TrayMenuItem> items() const;
    void activate(const TrayMenuItem& item);
    // A newer build was found and waits for the user: the tray shows it in its icon.
    bool updateWaiting() const;

signals:
    void changed();
    void updateWindowRequested();
    void settingsRequested();
    void quitRequested();

private:
    TrayMenuItem historyMenu() const;
    std::optional<QString> entryText(const QUuid& id) const;
    std::optional<QString> waitingVersion() const;
    void followUpdates();

    AppCoordinator& coordinator_;
    HistoryStore& history_;
    KeyboardShortcuts::Registry& shortcuts_;
    UpdateChecker& updates_;
    // The version the menu offers, so that progress reports don't rebuild the menu.
    std::optional<QString> offered_;
};

} // namespace Blinkwit
