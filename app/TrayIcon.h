#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

namespace Blinkwit {

class TrayMenuModel;
struct TrayMenuItem;

// The tray icon and its menu, a thin view over the menu model: the menu and the icon are
// rebuilt whenever the model changes. Where no tray runs yet the icon appears once one starts.
class TrayIcon final : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(TrayMenuModel& model, QObject* parent = nullptr);

    // Shows the icon; false (with one line on standard error) when no tray is available now.
    bool show();
    QMenu& menu() { return menu_; }
    QIcon icon() const { return icon_.icon(); }

private:
    void rebuild();
    void fill(QMenu& menu, const std::vector<TrayMenuItem>& items);

    TrayMenuModel& model_;
    QMenu menu_;
    QSystemTrayIcon icon_;
};

} // namespace Blinkwit
