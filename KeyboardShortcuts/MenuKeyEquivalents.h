#pragma once

#include "Shortcut.h"

#include <QString>
#include <optional>

namespace Blinkwit::KeyboardShortcuts {

// The key equivalents of the program's own menus, which a global shortcut must not take over.
class MenuKeyEquivalents {
public:
    MenuKeyEquivalents() = delete;

    // The title of the first menu item whose shortcut equals the given one.
    static std::optional<QString> itemUsing(const Shortcut& shortcut);
};

} // namespace Blinkwit::KeyboardShortcuts
