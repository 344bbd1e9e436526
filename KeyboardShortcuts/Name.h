#pragma once

#include "Shortcut.h"

#include <QMetaType>
#include <QString>
#include <optional>

namespace Blinkwit::KeyboardShortcuts {

// A named shortcut: its identity is the raw value alone.
struct Name {
    QString rawValue;
    std::optional<Shortcut> defaultShortcut;

    // The defaults-store key holding the binding.
    QString storageKey() const { return QStringLiteral("KeyboardShortcuts_") + rawValue; }

    static Name readSelection();
    static Name readClipboard();
    static Name ocrRegion();

    friend bool operator==(const Name& a, const Name& b) { return a.rawValue == b.rawValue; }
};

} // namespace Blinkwit::KeyboardShortcuts

Q_DECLARE_METATYPE(Blinkwit::KeyboardShortcuts::Name)
