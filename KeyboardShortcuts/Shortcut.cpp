#include "Shortcut.h"

#include "KeyTable.h"
#include "Modifiers.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <limits>

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

QString Shortcut::description() const {
    QString text;
    if (carbonModifiers & Modifier::control)
        text += QStringLiteral("⌃");
    if (carbonModifiers & Modifier::option)
        text += QStringLiteral("⌥");
    if (carbonModifiers & Modifier::shift)
        text += QStringLiteral("⇧");
    if (carbonModifiers & Modifier::command)
        text += QStringLiteral("⌘");
    if (carbonModifiers & Modifier::function)
        text += QStringLiteral("🌐︎");
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
