#include "ResidentCommands.h"

#include "AppCoordinator.h"

#include <QStringList>
#include <algorithm>

namespace Blinkwit {

using KeyboardShortcuts::Name;

const std::vector<ResidentCommands::Command>& ResidentCommands::all() {
    static const std::vector<Command> commands{
        {&Name::readSelection, "Read Selection", &AppCoordinator::readSelection},
        {&Name::readClipboard, "Read Clipboard", &AppCoordinator::readClipboard},
        {&Name::ocrRegion, "Read Screen Region (OCR)", &AppCoordinator::readScreenRegion},
    };
    return commands;
}

const ResidentCommands::Command* ResidentCommands::find(const QString& name) {
    const auto& commands = all();
    const auto found = std::find_if(commands.begin(), commands.end(),
                                    [&](const Command& command) { return command.name() == name; });
    return found == commands.end() ? nullptr : &*found;
}

QString ResidentCommands::names() {
    QStringList names;
    for (const Command& command : all())
        names.append(command.name());
    return names.join(QLatin1Char('|'));
}

} // namespace Blinkwit
