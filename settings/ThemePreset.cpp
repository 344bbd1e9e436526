#include "ThemePreset.h"

namespace Blinkwit {

const QList<ThemePreset>& ThemePreset::all() {
    static const QList<ThemePreset> presets{
        {QStringLiteral("Matrix"), QStringLiteral("#00FF41"), true},
        {QStringLiteral("Redline"), QStringLiteral("#FF3B30"), true},
        {QStringLiteral("Amber"), QStringLiteral("#FFB000"), true},
        {QStringLiteral("Ice"), QStringLiteral("#00D2FF"), true},
        {QStringLiteral("Violet"), QStringLiteral("#BF5AF2"), true},
        {QStringLiteral("Synth"), QStringLiteral("#FF2D95"), true},
        {QStringLiteral("Cobalt"), QStringLiteral("#4C9EFF"), true},
        {QStringLiteral("Paper"), QStringLiteral("#D70015"), false},
    };
    return presets;
}

bool ThemePreset::isActive(const QString& accentHex, bool darkTheme) const {
    return accentHex.toUpper() == hex.toUpper() && darkTheme == dark;
}

QString ThemePreset::toolTip() const {
    return name + QStringLiteral(" — ") +
           (dark ? QStringLiteral("dark") : QStringLiteral("light")) + QStringLiteral(" with ") +
           hex;
}

} // namespace Blinkwit
