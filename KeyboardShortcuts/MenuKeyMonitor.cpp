#include "MenuKeyMonitor.h"

#include "KeyEventShortcut.h"
#include "Registry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>

namespace Blinkwit::KeyboardShortcuts {

namespace {

quint32 keyIdentity(const QKeyEvent& event) {
    return event.nativeScanCode() != 0 ? event.nativeScanCode() : quint32(event.key());
}

} // namespace

MenuKeyMonitor::MenuKeyMonitor(Registry& registry)
    : QObject(&registry)
    , registry_(registry) {
    QCoreApplication::instance()->installEventFilter(this);
}

MenuKeyMonitor::~MenuKeyMonitor() {
    if (auto* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool MenuKeyMonitor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease)
        return handleRelease(static_cast<const QKeyEvent&>(*event));
    if (event->type() != QEvent::KeyPress)
        return false;
    QWidget* popup = QApplication::activePopupWidget();
    if (watched != popup || !qobject_cast<QMenu*>(popup))
        return false;
    return handlePress(static_cast<const QKeyEvent&>(*event));
}

bool MenuKeyMonitor::handlePress(const QKeyEvent& event) {
    const quint32 identity = keyIdentity(event);
    if (pressed_.contains(identity))
        return true; // Auto-repeat of a hot key.
    const auto shortcut = KeyEventShortcut::fromEvent(event, registry_.backend());
    if (!shortcut || !registry_.isHotKeyActive(*shortcut))
        return false;
    pressed_.emplace(identity, *shortcut);
    registry_.dispatchKeyDown(*shortcut);
    return true;
}

// Releases are matched wherever they land: the menu may have closed since the press.
bool MenuKeyMonitor::handleRelease(const QKeyEvent& event) {
    const auto found = pressed_.find(keyIdentity(event));
    if (found == pressed_.end())
        return false;
    if (event.isAutoRepeat())
        return true;
    const Shortcut shortcut = found->second;
    pressed_.erase(found);
    registry_.dispatchKeyUp(shortcut);
    return true;
}

} // namespace Blinkwit::KeyboardShortcuts
