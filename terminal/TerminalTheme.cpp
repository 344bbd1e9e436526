#include "TerminalTheme.h"

#include "settings/AppSettings.h"

#include <QColor>

namespace Blinkwit {

namespace {

std::uint8_t component(float value) {
    return Rgb::grey(double(value)).red;
}

// Grey under the panel's translucent tint; the terminal has no desktop to blur.
const Rgb desktop = Rgb::grey(0.5);

} // namespace

TerminalTheme TerminalTheme::from(const AppSettings& settings, ColorDepth depth) {
    const QColor accent = settings.accentColor().toRgb();
    return TerminalTheme{
        settings.darkTheme(),
        Rgb{component(accent.redF()), component(accent.greenF()), component(accent.blueF())},
        depth};
}

Rgb TerminalTheme::background() const {
    return dark ? Rgb::grey(0.0).over(desktop, 0.82) : Rgb::grey(1.0).over(desktop, 0.72);
}

Rgb TerminalTheme::primary() const {
    return Rgb::grey(dark ? 0.96 : 0.08);
}
Rgb TerminalTheme::secondary() const {
    return Rgb::grey(dark ? 0.74 : 0.34);
}
Rgb TerminalTheme::tertiary() const {
    return Rgb::grey(dark ? 0.56 : 0.45);
}

Rgb TerminalTheme::codeBackground() const {
    return Rgb::grey(0.0).over(background(), dark ? 0.35 : 0.06);
}

CellStyle TerminalTheme::text(Rgb color) const {
    if (!colored())
        return mono();
    return CellStyle{visible(color), background()};
}

// Sixteen colours put shades near the background onto the background's own colour, where they
// vanish (the progress track was black on black, and light grey on light grey). Such text takes
// the grey between the two, which neither background is.
Rgb TerminalTheme::visible(Rgb color) const {
    if (depth != ColorDepth::basic ||
        TerminalColor::nearestBasic(color) != TerminalColor::nearestBasic(background()))
        return color;
    return Rgb::grey(0.5);
}

CellStyle TerminalTheme::base() const {
    return text(primary());
}

CellStyle TerminalTheme::word() const {
    CellStyle style = text(primary());
    style.bold = colored();
    return style;
}

CellStyle TerminalTheme::pivot() const {
    CellStyle style = text(accent);
    style.bold = true;
    style.underline = !colored();
    return style;
}

CellStyle TerminalTheme::address() const {
    CellStyle style = text(primary().over(background(), 0.9));
    style.underline = true;
    return style;
}

CellStyle TerminalTheme::codeBlock() const {
    if (!colored())
        return CellStyle{{}, {}, false, false, false, true};
    return CellStyle{primary().over(codeBackground(), 0.9), codeBackground()};
}

CellStyle TerminalTheme::tick() const {
    CellStyle style = text(Rgb::grey(dark ? 0.5 : 0.35).over(background(), 0.6));
    style.dim = !colored();
    return style;
}

CellStyle TerminalTheme::countdown() const {
    CellStyle style = text(accent);
    style.bold = true;
    return style;
}

CellStyle TerminalTheme::title() const {
    CellStyle style = text(primary());
    style.bold = true;
    return style;
}

CellStyle TerminalTheme::body() const {
    return text(secondary());
}
CellStyle TerminalTheme::hint() const {
    return text(tertiary());
}

CellStyle TerminalTheme::faintHint() const {
    CellStyle style = text(tertiary().over(background(), 0.75));
    style.dim = !colored();
    return style;
}

CellStyle TerminalTheme::progressFill() const {
    CellStyle style = text(accent.over(background(), 0.9));
    style.bold = !colored();
    return style;
}

CellStyle TerminalTheme::progressTrack() const {
    CellStyle style = text(Rgb::grey(dark ? 1.0 : 0.0).over(background(), 0.12));
    style.dim = !colored();
    return style;
}

CellStyle TerminalTheme::badge() const {
    if (!colored())
        return CellStyle{{}, {}, true, false, false, true};
    return CellStyle{primary(), accent.over(background(), 0.35), true};
}

CellStyle TerminalTheme::codeBorder() const {
    if (!colored())
        return mono();
    return CellStyle{tertiary(), codeBackground()};
}

CellStyle TerminalTheme::codeText() const {
    if (!colored())
        return mono();
    return CellStyle{primary().over(codeBackground(), 0.92), codeBackground()};
}

} // namespace Blinkwit
