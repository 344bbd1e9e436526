#include "Name.h"

#include "Modifiers.h"

namespace Blinkwit::KeyboardShortcuts {

namespace {

constexpr int controlShift = Modifier::control | Modifier::shift;

} // namespace

Name Name::readSelection() {
    return {QStringLiteral("readSelection"), Shortcut{15, controlShift}};
}

Name Name::readClipboard() {
    return {QStringLiteral("readClipboard"), Shortcut{9, controlShift}};
}

Name Name::ocrRegion() {
    return {QStringLiteral("ocrRegion"), Shortcut{31, controlShift}};
}

} // namespace Blinkwit::KeyboardShortcuts
