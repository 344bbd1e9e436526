#include "DesktopSession.h"

namespace Blinkwit {

namespace {

DesktopSession::Desktop desktopOf(const QString& names, bool swaySocket) {
    using Desktop = DesktopSession::Desktop;
    const QStringList desktops = names.toLower().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    const auto named = [&](std::initializer_list<const char*> wanted) {
        return std::any_of(wanted.begin(), wanted.end(), [&](const char* name) {
            return desktops.contains(QLatin1String(name));
        });
    };
    if (named({"gnome", "gnome-classic", "unity"}))
        return Desktop::gnome;
    if (named({"kde"}))
        return Desktop::kde;
    if (named({"hyprland"}))
        return Desktop::hyprland;
    if (swaySocket || named({"sway", "river", "labwc", "wayfire", "wlroots"}))
        return Desktop::wlroots;
    return Desktop::other;
}

} // namespace

DesktopSession DesktopSession::detect(const QProcessEnvironment& environment) {
    DesktopSession session;
    session.wayland =
        environment.value(QStringLiteral("XDG_SESSION_TYPE")) == QLatin1String("wayland") ||
        !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();
    session.desktopName = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"));
    session.desktop =
        desktopOf(session.desktopName, !environment.value(QStringLiteral("SWAYSOCK")).isEmpty());
    return session;
}

void DesktopSession::useXWaylandForWindows() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (current().wayland && !qEnvironmentVariableIsEmpty("DISPLAY") &&
        (platform.isEmpty() || platform.startsWith("wayland")))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

bool DesktopSession::hasDataControl() const {
    return wayland && desktop != Desktop::gnome;
}

QString DesktopSession::describe() const {
    const QString kind = wayland ? QStringLiteral("Wayland") : QStringLiteral("X11");
    return desktopName.isEmpty() ? kind : kind + QStringLiteral(" (") + desktopName + ')';
}

} // namespace Blinkwit
