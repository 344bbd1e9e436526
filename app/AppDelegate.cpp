#include "AppDelegate.h"

#include "BuildInfo.h"
#include "BundleMover.h"
#include "InstanceChannel.h"
#include "ResidentCommands.h"
#include "settings/AppSettings.h"
#include "settings/DefaultsStore.h"
#include "settings/HistoryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <iostream>

namespace Blinkwit {

AppDelegate::AppDelegate(InstanceChannel& channel, QObject* parent)
    : QObject(parent)
    , channel_(channel)
    , settings_(AppSettings::shared())
    , history_(HistoryStore::shared())
    , engine_(settings_, scheduler_)
    , panelController_(engine_, settings_)
    , backends_(DesktopSession::current(), settings_.defaults(), scheduler_, clipboard_,
                [this] { panelController_.show(); })
    // The registry's diagnostics go to standard output, as its one log line always has.
    , shortcuts_(settings_.defaults(), backends_.hotKeys(), std::cout)
    , copySender_(scheduler_)
    , grabber_(clipboard_, copySender_, scheduler_)
    , permissions_([this](const QString& executable) { relaunch(executable); }, &backends_)
    , permissionWindows_(permissions_, settings_)
    , updates_(scheduler_, settings_, permissions_)
    , coordinator_(settings_, engine_, panelController_, history_,
                   {shortcuts_, grabber_, permissions_, permissionWindows_, scheduler_,
                    backends_.waylandReader()})
    , autostart_(AutostartEntry::standardPath(),
                 BundleMover::desktopEntry(QCoreApplication::applicationFilePath()))
    , settingsWindow_({settings_, shortcuts_, autostart_, &updates_.checker(),
                       BuildInfo::displayString(), [this] { updates_.showWindow(); }})
    , menu_(coordinator_, history_, shortcuts_, updates_.checker())
    , tray_(menu_) {
    connect(&menu_, &TrayMenuModel::updateWindowRequested, this, [this] { updates_.showWindow(); });
    // exit(), not quit(): quit() first asks every window to close, and the reader panel
    // refuses (it hides instead), which would cancel the quit.
    connect(&menu_, &TrayMenuModel::quitRequested, qApp, [] { QCoreApplication::exit(0); });
    connect(&menu_, &TrayMenuModel::settingsRequested, this, [this] { settingsWindow_.show(); });
}

AppDelegate::~AppDelegate() {
    settings_.setActivationPolicyHook(nullptr);
}

void AppDelegate::launchFinished() {
    settings_.setActivationPolicyHook(&taskbar_);
    settings_.applyActivationPolicy();
    tray_.show();
    coordinator_.setup();
    updates_.startAutomaticChecks();
    std::fprintf(stderr, "blinkwit: %s\n", qPrintable(backends_.describe()));
    if (!backends_.session().wayland)
        return;
    if (const auto screenRegion = backends_.screenRegion())
        coordinator_.setScreenRegionServices(*screenRegion);
    backends_.start(shortcuts_);
    connect(&backends_, &DesktopBackends::accessChanged, this, &AppDelegate::explainWaylandOnce);
}

// Once, when the desktop has answered about the hot keys: what works here and what the user
// binds by hand. Later the window opens only on request.
void AppDelegate::explainWaylandOnce() {
    const QLatin1String explained("waylandAccessExplained");
    if (backends_.access().hotKeys == WaylandAccess::HotKeys::starting ||
        settings_.defaults().value(explained).toBool())
        return;
    settings_.defaults().setValue(explained, true);
    permissionWindows_.show(PermissionKind::accessibility);
}

void AppDelegate::reopen() {
    settingsWindow_.show();
}

bool AppDelegate::runCommand(const QString& name) {
    const ResidentCommands::Command* command = ResidentCommands::find(name);
    if (!command)
        return false;
    QTimer::singleShot(0, this, [this, run = command->run] { (coordinator_.*run)(); });
    return true;
}

// The new copy must find the hot keys and the bus name free, or it would defer to this one.
void AppDelegate::relaunch(const QString& executable) {
    shortcuts_.removeAllHandlers();
    channel_.release();
    // Started as from the desktop's menu: not tied to the terminal or pipes this copy had.
    QProcess installed;
    installed.setProgram(executable);
    installed.setWorkingDirectory(QDir::homePath());
    installed.setStandardInputFile(QProcess::nullDevice());
    installed.setStandardOutputFile(QProcess::nullDevice());
    installed.setStandardErrorFile(QProcess::nullDevice());
    installed.startDetached();
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
}

} // namespace Blinkwit
