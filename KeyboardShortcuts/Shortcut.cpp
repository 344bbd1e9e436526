#include "Shortcut.h"

#include "KeyTable.h"
#include "Modifiers.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>
#include <utility>

namespace Blinkwit::KeyboardShortcuts {

namespace {

std::optional<int> integerField(const QJsonObject& object, const char* key) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(number);
}

} // namespace

Shortcut Shortcut::fromModifiers(int carbonKeyCode, Qt::KeyboardModifiers modifiers) {
    int bits = 0;
    if (modifiers & Qt::ControlModifier)
        bits |= Modifier::control;
    if (modifiers & Qt::AltModifier)
        bits |= Modifier::option;
    if (modifiers & Qt::ShiftModifier)
        bits |= Modifier::shift;
    if (modifiers & Qt::MetaModifier)
        bits |= Modifier::command;
    return {carbonKeyCode, bits};
}

// Modifiers are named as this desktop names them, in Qt's order, each followed by "+": the
// original symbols ⌃ ⌥ ⇧ ⌘ and the globe become Ctrl, Alt, Shift, Super and Fn.
QString Shortcut::description() const {
    static const std::pair<int, const char*> names[] = {{Modifier::control, "Ctrl+"},
                                                        {Modifier::option, "Alt+"},
                                                        {Modifier::shift, "Shift+"},
                                                        {Modifier::command, "Super+"},
                                                        {Modifier::function, "Fn+"}};
    QString text;
    for (const auto& [modifier, name] : names)
        if (carbonModifiers & modifier)
            text += QLatin1String(name);
    return text + KeyTable::displayName(carbonKeyCode);
}

QByteArray Shortcut::toJson() const {
    const QJsonObject object{{"carbonKeyCode", carbonKeyCode},
                             {"carbonModifiers", carbonModifiers}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<Shortcut> Shortcut::fromJson(const QByteArray& json) {
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    const auto keyCode = integerField(document.object(), "carbonKeyCode");
    const auto modifiers = integerField(document.object(), "carbonModifiers");
    if (!keyCode || !modifiers)
        return std::nullopt;
    return Shortcut{*keyCode, *modifiers};
}

} // namespace Blinkwit::KeyboardShortcuts
