#pragma once

#include "KeyboardShortcuts/Name.h"

#include <QString>
#include <vector>

namespace Blinkwit {

class AppCoordinator;

// The commands of the resident program, in menu order. Each is reached by its hot key, its
// tray menu row and `blinkwit --command NAME`, where NAME is its shortcut's name.
class ResidentCommands {
public:
    struct Command {
        KeyboardShortcuts::Name (*shortcut)();
        const char* menuTitle;
        void (AppCoordinator::*run)();

        QString name() const { return shortcut().rawValue; }
    };

    ResidentCommands() = delete;

    static const std::vector<Command>& all();
    // Null for a name no command has.
    static const Command* find(const QString& name);
    // "readSelection|readClipboard", for usage lines.
    static QString names();
};

} // namespace Blinkwit
