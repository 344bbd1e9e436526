#pragma once

#include <QList>
#include <QString>

namespace Blinkwit {

// A ready-made pairing of accent colour and reader theme offered by the settings window.
struct ThemePreset {
    QString name;
    // "#RRGGBB", upper case.
    QString hex;
    // Meant for the dark reader theme.
    bool dark = true;

    // The presets in the order they are offered.
    static const QList<ThemePreset>& all();

    // Whether these settings are this preset: the same colour, whatever its letter case, and
    // the same theme.
    bool isActive(const QString& accentHex, bool darkTheme) const;
    // "Matrix — dark with #00FF41".
    QString toolTip() const;
};

} // namespace Blinkwit
