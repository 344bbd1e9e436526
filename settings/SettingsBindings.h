#pragma once

#include <QColor>
#include <QList>
#include <QString>

namespace Blinkwit {

// How the settings window's controls map to the settings and back, apart from any widget.
class SettingsBindings {
public:
    SettingsBindings() = delete;

    static constexpr int minimumWpm = 100;
    static constexpr int maximumWpm = 1000;
    static constexpr int wpmStep = 25;
    static constexpr int minimumFontSize = 32;
    static constexpr int maximumFontSize = 72;
    static constexpr int fontSizeStep = 2;

    // The rate a speed-slider position stands for: the nearest step, halves away from zero
    // (437.5 gives 450).
    static int wpmAt(double sliderPosition);
    // The word size a size-slider position stands for: the nearest step from the minimum.
    static double fontSizeAt(double sliderPosition);
    // "450 WPM".
    static QString wpmText(int wpm);
    // The whole points, truncated: 47.9 gives "47 pt".
    static QString fontSizeText(double points);
    // Where the size slider stands for a stored size, which may lie outside its range.
    static int fontSizeSliderPosition(double points);

    struct CodeBlockOption {
        QString label;
        QString mode;
    };
    static const QList<CodeBlockOption>& codeBlockOptions();
    // The option showing a stored mode; the first one for a mode this version does not know.
    static int codeBlockOptionIndex(const QString& storedMode);

    // The accent a colour chosen in the colour dialog is stored as; the standard accent when
    // the colour cannot be written as sRGB hex.
    static QString accentHexFor(const QColor& chosen);
};

} // namespace Blinkwit
