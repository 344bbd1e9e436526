#include "TrayMenuModel.h"

#include "AppCoordinator.h"
#include "KeyboardShortcuts/Registry.h"
#include "ResidentCommands.h"
#include "settings/HistoryStore.h"
#include "update/UpdateChecker.h"

#include <QTimer>

namespace Blinkwit {

using Kind = TrayMenuItem::Kind;

TrayMenuModel::TrayMenuModel(AppCoordinator& coordinator, HistoryStore& history,
                             KeyboardShortcuts::Registry& shortcuts, UpdateChecker& updates,
                             QObject* parent)
    : QObject(parent)
    , coordinator_(coordinator)
    , history_(history)
    , shortcuts_(shortcuts)
    , updates_(updates)
    , offered_(waitingVersion()) {
    connect(&history_, &HistoryStore::entriesChanged, this, &TrayMenuModel::changed);
    connect(&shortcuts_, &KeyboardShortcuts::Registry::shortcutByNameDidChange, this,
            &TrayMenuModel::changed);
    connect(&updates_, &UpdateChecker::stateChanged, this, &TrayMenuModel::followUpdates);
}

std::optional<QString> TrayMenuModel::waitingVersion() const {
    if (!updateWaiting())
        return std::nullopt;
    return updates_.state().manifest.version;
}

bool TrayMenuModel::updateWaiting() const {
    return updates_.state().kind == UpdateState::Kind::available;
}

void TrayMenuModel::followUpdates() {
    if (waitingVersion() == offered_)
        return;
    offered_ = waitingVersion();
    emit changed();
}

// Key hints are text after a tab, never key equivalents: the menu must not take the keys the
// hot keys own.
std::vector<TrayMenuItem> TrayMenuModel::items() const {
    std::vector<TrayMenuItem> items;
    if (offered_) {
        items.push_back({.kind = Kind::update,
                         .title = QStringLiteral("Update to Blinkwit %1…").arg(*offered_)});
        items.push_back({});
    }
    for (const ResidentCommands::Command& command : ResidentCommands::all()) {
        const auto shortcut = shortcuts_.getShortcut(command.shortcut());
        const QString hint = shortcut ? shortcut->description() : QString();
        items.push_back({.kind = Kind::command,
                         .title = QString::fromUtf8(command.menuTitle) + '\t' + hint,
                         .command = command.name()});
    }
    items.push_back({});
    items.push_back(historyMenu());
    items.push_back({});
    items.push_back({.kind = Kind::settings, .title = QStringLiteral("Settings…")});
    items.push_back({.kind = Kind::checkForUpdates, .title = QStringLiteral("Check for Updates…")});
    items.push_back({});
    items.push_back({.kind = Kind::quit, .title = QStringLiteral("Quit Blinkwit")});
    return items;
}

TrayMenuItem TrayMenuModel::historyMenu() const {
    TrayMenuItem menu{.kind = Kind::submenu, .title = QStringLiteral("History")};
    if (history_.entries().isEmpty()) {
        menu.children.push_back(
            {.kind = Kind::placeholder, .title = QStringLiteral("Nothing read yet")});
        return menu;
    }
    for (const HistoryStore::Entry& entry : history_.entries())
        menu.children.push_back(
            {.kind = Kind::historyEntry, .title = entry.title(), .entryId = entry.id});
    menu.children.push_back({});
    menu.children.push_back({.kind = Kind::clearHistory, .title = QStringLiteral("Clear History")});
    return menu;
}

std::optional<QString> TrayMenuModel::entryText(const QUuid& id) const {
    for (const HistoryStore::Entry& entry : history_.entries())
        if (entry.id == id)
            return entry.text;
    return std::nullopt;
}

void TrayMenuModel::activate(const TrayMenuItem& item) {
    switch (item.kind) {
    case Kind::command:
        if (const auto* command = ResidentCommands::find(item.command))
            (coordinator_.*command->run)();
        break;
    case Kind::historyEntry:
        if (const auto text = entryText(item.entryId))
            coordinator_.present(*text);
        break;
    case Kind::clearHistory:
        history_.clear();
        break;
    case Kind::update:
        emit updateWindowRequested();
        break;
    case Kind::checkForUpdates:
        // The window first: shown while idle it starts a check of its own, as it does whenever
        // it opens on a fresh start.
        emit updateWindowRequested();
        QTimer::singleShot(0, &updates_, [&updates = updates_] { updates.check(true); });
        break;
    case Kind::settings:
        emit settingsRequested();
        break;
    case Kind::quit:
        emit quitRequested();
        break;
    default:
        break;
    }
}

} // namespace Blinkwit
