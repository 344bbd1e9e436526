#include "KeyEventShortcut.h"

#include "HotKeyBackend.h"
#include "KeyTable.h"

#include <QKeyEvent>

namespace Blinkwit::KeyboardShortcuts {

std::optional<int> KeyEventShortcut::carbonKeyCode(const QKeyEvent& event, HotKeyBackend& backend) {
    if (event.nativeScanCode() != 0)
        if (const auto code = backend.carbonKeyCodeForNativeKey(event.nativeScanCode()))
            return code;
    return KeyTable::carbonKeyCodeForQtKey(event.key(),
                                           event.modifiers().testFlag(Qt::KeypadModifier));
}

std::optional<Shortcut> KeyEventShortcut::fromEvent(const QKeyEvent& event,
                                                    HotKeyBackend& backend) {
    const auto code = carbonKeyCode(event, backend);
    if (!code)
        return std::nullopt;
    return Shortcut::fromModifiers(*code, event.modifiers());
}

bool KeyEventShortcut::isModifierKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

} // namespace Blinkwit::KeyboardShortcuts
