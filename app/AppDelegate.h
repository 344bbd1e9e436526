#pragma once

#include "AppCoordinator.h"
#include "DesktopBackends.h"
#include "DesktopPermissions.h"
#include "KeyboardShortcuts/Registry.h"
#include "PermissionWindowController.h"
#include "SelectionGrabber.h"
#include "TaskbarPolicy.h"
#include "TrayIcon.h"
#include "TrayMenuModel.h"
#include "UpdateFlow.h"
#include "platform/QtClipboard.h"
#include "platform/QtScheduler.h"
#include "platform/XTestCopyCommandSender.h"
#include "reader/ReaderEngine.h"
#include "reader/ReaderPanelController.h"
#include "settings/AutostartEntry.h"
#include "settings/SettingsWindowController.h"

#include <QObject>
#include <memory>

namespace Blinkwit {

class AppSettings;
class HistoryStore;
class InstanceChannel;

// The resident program: the reader, the desktop's services, the hot keys, the tray icon, the
// permission and settings windows and the self-update, over the shared settings and history.
class AppDelegate final : public QObject {
    Q_OBJECT
public:
    explicit AppDelegate(InstanceChannel& channel, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Applies the task bar policy of the settings, shows the tray icon, sets up the coordinator
    // (hot keys, permission check, welcome) and starts the automatic update checks.
    void launchFinished();
    // The program was started again: shows the settings window.
    void reopen();
    // Queues the named command; false when there is no such command.
    bool runCommand(const QString& name);

private:
    void relaunch(const QString& executable);
    void explainWaylandOnce();

    InstanceChannel& channel_;
    AppSettings& settings_;
    HistoryStore& history_;
    QtScheduler scheduler_;
    ReaderEngine engine_;
    ReaderPanelController panelController_;
    QtClipboard clipboard_;
    DesktopBackends backends_;
    KeyboardShortcuts::Registry shortcuts_;
    XTestCopyCommandSender copySender_;
    SelectionGrabber grabber_;
    DesktopPermissions permissions_;
    PermissionWindowController permissionWindows_;
    TaskbarPolicy taskbar_;
    UpdateFlow updates_;
    AppCoordinator coordinator_;
    AutostartEntry autostart_;
    SettingsWindowController settingsWindow_;
    TrayMenuModel menu_;
    TrayIcon tray_;
};

} // namespace Blinkwit
