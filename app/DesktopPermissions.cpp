#include "DesktopPermissions.h"

#include "BundleMover.h"
#include "DesktopBackends.h"
#include "bundle/Bundle.h"
#include "platform/X11Session.h"

#include <QProcess>
#include <QStandardPaths>
#include <algorithm>
#include <utility>

namespace Blinkwit {

namespace {

struct KeyboardSettings {
    const char* desktop; // as XDG_CURRENT_DESKTOP names it
    QStringList command;
};

const std::vector<KeyboardSettings>& knownKeyboardSettings() {
    static const std::vector<KeyboardSettings> known{
        {"GNOME", {"gnome-control-center", "keyboard"}},
        {"KDE", {"systemsettings", "kcm_keys"}},
        {"XFCE", {"xfce4-keyboard-settings"}},
    };
    return known;
}

bool installed(const KeyboardSettings& settings) {
    return !QStandardPaths::findExecutable(settings.command.front()).isEmpty();
}

} // namespace

DesktopPermissions::DesktopPermissions(Relaunch relaunch, DesktopBackends* backends)
    : relaunch_(std::move(relaunch))
    , backends_(backends) {}

InstallLocation DesktopPermissions::installLocation() const {
    return InstallLocationRules::current();
}

bool DesktopPermissions::isTrustedForAccessibility() const {
    return X11Session::allowsSelectionAccess();
}

bool DesktopPermissions::isScreenCaptureGranted() const {
    return backends_ ? backends_->allowsScreenCapture() : X11Session::allowsScreenCapture();
}

bool DesktopPermissions::canOpenKeyboardSettings() const {
    if (const auto access = waylandAccess(); access && access->canConfigureHotKeys)
        return true;
    return !keyboardSettingsCommand().isEmpty();
}

// Hot keys the desktop delivers are changed in its own dialog for them.
void DesktopPermissions::openKeyboardSettings() {
    if (backends_ && backends_->configureHotKeys())
        return;
    QStringList command = keyboardSettingsCommand();
    if (!command.isEmpty())
        QProcess::startDetached(command.takeFirst(), command);
}

QStringList DesktopPermissions::keyboardSettingsCommand() {
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toUpper().split(QLatin1Char(':'));
    const auto& known = knownKeyboardSettings();
    auto found = std::find_if(known.begin(), known.end(), [&](const KeyboardSettings& settings) {
        return desktops.contains(QLatin1String(settings.desktop)) && installed(settings);
    });
    if (found == known.end())
        found = std::find_if(known.begin(), known.end(), installed);
    return found == known.end() ? QStringList() : found->command;
}

std::optional<WaylandAccess> DesktopPermissions::waylandAccess() const {
    if (!backends_ || !backends_->session().wayland)
        return std::nullopt;
    return backends_->access();
}

void DesktopPermissions::setCopyCommandEnabled(bool enabled) {
    if (backends_)
        backends_->setCopyCommandEnabled(enabled);
}

std::optional<QString> DesktopPermissions::moveToApplicationsAndRelaunch() {
    const std::optional<Bundle> bundle = Bundle::running();
    if (!bundle)
        return QStringLiteral("this copy of Blinkwit is not a complete Blinkwit.app folder.");
    const QString destination = InstallLocationRules::installedPath();
    if (auto failed = BundleMover::install(*bundle, destination, BundleMover::dataHome()))
        return failed;
    relaunch_(Bundle(destination).executablePath());
    return std::nullopt;
}

} // namespace Blinkwit
