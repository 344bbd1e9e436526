#include "MenuKeyEquivalents.h"

#include "KeyTable.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>

namespace Blinkwit::KeyboardShortcuts {

namespace {

std::optional<Shortcut> fromKeySequence(const QKeySequence& sequence) {
    if (sequence.count() != 1)
        return std::nullopt;
    const QKeyCombination combination = sequence[0];
    const auto modifiers = combination.keyboardModifiers();
    const auto code =
        KeyTable::carbonKeyCodeForQtKey(combination.key(), modifiers.testFlag(Qt::KeypadModifier));
    if (!code)
        return std::nullopt;
    return Shortcut::fromModifiers(*code, modifiers);
}

QString plainTitle(const QAction& action) {
    QString title = action.text().section(QLatin1Char('\t'), 0, 0);
    // Mnemonic markers: "&&" is a literal ampersand.
    title.replace(QLatin1String("&&"), QString(QChar(0)));
    title.remove(QLatin1Char('&'));
    title.replace(QChar(0), QLatin1Char('&'));
    return title;
}

} // namespace

std::optional<QString> MenuKeyEquivalents::itemUsing(const Shortcut& shortcut) {
    for (QWidget* widget : QApplication::allWidgets()) {
        const auto* menu = qobject_cast<QMenu*>(widget);
        if (!menu)
            continue;
        for (const QAction* action : menu->actions())
            for (const QKeySequence& sequence : action->shortcuts())
                if (fromKeySequence(sequence) == shortcut)
                    return plainTitle(*action);
    }
    return std::nullopt;
}

} // namespace Blinkwit::KeyboardShortcuts
