#include "AppDelegate.h"

#include "BuildInfo.h"
#include "BundleMover.h"
#include "InstanceChannel.h"
#include "ResidentCommands.h"
#include "platform/X11HotKeyBackend.h"
#include "settings/AppSettings.h"
#include "settings/HistoryStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTimer>
#include <iostream>

namespace Blinkwit {

AppDelegate::AppDelegate(InstanceChannel& channel, QObject* parent)
    : QObject(parent)
    , channel_(channel)
    , settings_(AppSettings::shared())
    , history_(HistoryStore::shared())
    , engine_(settings_, scheduler_)
    , panelController_(engine_, settings_)
    , hotKeys_(X11HotKeyBackend::createForCurrentPlatform())
    // The registry's diagnostics go to standard output, as its one log line always has.
    , shortcuts_(settings_.defaults(), *hotKeys_, std::cout)
    , copySender_(scheduler_)
    , grabber_(clipboard_, copySender_, scheduler_)
    , permissions_([this](const QString& executable) { relaunch(executable); })
    , permissionWindows_(permissions_, settings_)
    , updates_(scheduler_, settings_, permissions_)
    , coordinator_(settings_, engine_, panelController_, history_,
                   {shortcuts_, grabber_, permissions_, permissionWindows_, scheduler_})
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
