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

// One row of the tray menu.
struct TrayMenuItem {
    enum class Kind {
        command,
        separator,
        submenu,
        placeholder,
        historyEntry,
        clearHistory,
        settings,
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

// The tray menu's content: the resident commands with their key hints, the reading history,
// Settings… and Quit. Built afresh on every call; changed() says when a rebuild would differ.
class TrayMenuModel final : public QObject {
    Q_OBJECT
public:
    TrayMenuModel(AppCoordinator& coordinator, HistoryStore& history,
                  KeyboardShortcuts::Registry& shortcuts, QObject* parent = nullptr);

    std::vector<TrayMenuItem> items() const;
    void activate(const TrayMenuItem& item);

signals:
    void changed();
    void settingsRequested();
    void quitRequested();

private:
    TrayMenuItem historyMenu() const;
    std::optional<QString> entryText(const QUuid& id) const;

    AppCoordinator& coordinator_;
    HistoryStore& history_;
    KeyboardShortcuts::Registry& shortcuts_;
};

} // namespace Blinkwit
