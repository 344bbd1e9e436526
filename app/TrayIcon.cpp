#include "TrayIcon.h"

#include "BlinkwitIcon.h"
#include "TrayMenuModel.h"

#include <QCursor>
#include <cstdio>

namespace Blinkwit {

TrayIcon::TrayIcon(TrayMenuModel& model, QObject* parent)
    : QObject(parent)
    , model_(model) {
    icon_.setToolTip(QStringLiteral("Blinkwit"));
    icon_.setContextMenu(&menu_);
    // Queued: a menu action may change the history, and the action must outlive its own
    // trigger.
    connect(&model_, &TrayMenuModel::changed, this, &TrayIcon::rebuild, Qt::QueuedConnection);
    // A left click opens the menu too, as on most trays.
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    menu_.popup(QCursor::pos());
            });
    rebuild();
}

bool TrayIcon::show() {
    icon_.show();
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return true;
    std::fputs("blinkwit: no system tray is running; Blinkwit keeps running with its hot keys, "
               "and its icon appears when a tray starts\n",
               stderr);
    return false;
}

void TrayIcon::rebuild() {
    icon_.setIcon(BlinkwitIcon::icon(model_.updateWaiting() ? BlinkwitIcon::Symbol::updateWaiting
                                                            : BlinkwitIcon::Symbol::bolt));
    // Submenus belong to the menu, not to its actions: clear() alone would keep them.
    qDeleteAll(menu_.findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
    menu_.clear();
    fill(menu_, model_.items());
}

void TrayIcon::fill(QMenu& menu, const std::vector<TrayMenuItem>& items) {
    for (const TrayMenuItem& item : items) {
        if (item.kind == TrayMenuItem::Kind::separator) {
            menu.addSeparator();
            continue;
        }
        if (item.kind == TrayMenuItem::Kind::submenu) {
            fill(*menu.addMenu(item.title), item.children);
            continue;
        }
        QAction* action = menu.addAction(item.title);
        action->setEnabled(item.isEnabled());
        connect(action, &QAction::triggered, this, [this, item] { model_.activate(item); });
    }
}

} // namespace Blinkwit
