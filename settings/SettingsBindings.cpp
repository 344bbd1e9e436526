#include "SettingsBindings.h"

#include "AppSettings.h"

#include <algorithm>
#include <cmath>

namespace Blinkwit {

int SettingsBindings::wpmAt(double sliderPosition) {
    return wpmStep * int(std::round(sliderPosition / wpmStep));
}

double SettingsBindings::fontSizeAt(double sliderPosition) {
    return minimumFontSize +
           fontSizeStep * std::round((sliderPosition - minimumFontSize) / fontSizeStep);
}

QString SettingsBindings::wpmText(int wpm) {
    return QString::asprintf("%lld", qint64(wpm)) + QStringLiteral(" WPM");
}

// The store takes any double: a size no slider could set must still show without overflow.
QString SettingsBindings::fontSizeText(double points) {
    constexpr double largest = 1e15;
    const double shown = std::isnan(points) ? 0.0 : std::clamp(points, -largest, largest);
    return QString::asprintf("%lld", qint64(shown)) + QStringLiteral(" pt");
}

int SettingsBindings::fontSizeSliderPosition(double points) {
    if (std::isnan(points))
        return minimumFontSize;
    return int(std::round(std::clamp(points, double(minimumFontSize), double(maximumFontSize))));
}

const QList<SettingsBindings::CodeBlockOption>& SettingsBindings::codeBlockOptions() {
    static const QList<CodeBlockOption> options{
        {QStringLiteral("Collapse to placeholder (Enter expands)"), QStringLiteral("placeholder")},
        {QStringLiteral("Read word by word"), QStringLiteral("readWords")},
        {QStringLiteral("Skip entirely"), QStringLiteral("skip")},
    };
    return options;
}

int SettingsBindings::codeBlockOptionIndex(const QString& storedMode) {
    const QList<CodeBlockOption>& options = codeBlockOptions();
    for (int i = 0; i < options.size(); ++i)
        if (options[i].mode == storedMode)
            return i;
    return 0;
}

QString SettingsBindings::accentHexFor(const QColor& chosen) {
    return AppSettings::toHex(chosen).value_or(QString::fromLatin1(AppSettings::defaultAccentHex));
}

} // namespace Blinkwit
