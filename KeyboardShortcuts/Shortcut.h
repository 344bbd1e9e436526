#pragma once

#include <QByteArray>
#include <QString>
#include <Qt>
#include <cstddef>
#include <functional>
#include <optional>

namespace Blinkwit::KeyboardShortcuts {

// A key plus modifiers, both in the classic encoding they are stored in.
struct Shortcut {
    int carbonKeyCode = 0;
    int carbonModifiers = 0;

    // From a key code and Qt's modifier flags (Meta is the command key); other flags drop out.
    static Shortcut fromModifiers(int carbonKeyCode, Qt::KeyboardModifiers modifiers);

    // "Ctrl+Shift+R": the modifiers in the order control, option, shift, command, function,
    // then the key.
    QString description() const;

    // {"carbonKeyCode":15,"carbonModifiers":4608}
    QByteArray toJson() const;
    // Empty for anything but an object holding both fields as integers.
    static std::optional<Shortcut> fromJson(const QByteArray& json);

    friend bool operator==(const Shortcut&, const Shortcut&) = default;
    friend auto operator<=>(const Shortcut&, const Shortcut&) = default;
};

} // namespace Blinkwit::KeyboardShortcuts

template <>
struct std::hash<Blinkwit::KeyboardShortcuts::Shortcut> {
    std::size_t operator()(const Blinkwit::KeyboardShortcuts::Shortcut& shortcut) const noexcept {
        return std::hash<long long>()((long long)(shortcut.carbonKeyCode) << 32 ^
                                      (unsigned)shortcut.carbonModifiers);
    }
};
