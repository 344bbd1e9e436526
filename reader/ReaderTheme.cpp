#include "ReaderTheme.h"

#include "settings/AppSettings.h"

namespace Blinkwit {

namespace {

QColor grey(double level, double opacity = 1.0) {
    return QColor::fromRgbF(float(level), float(level), float(level), float(opacity));
}

QColor over(const QColor& top, const QColor& bottom) {
    const float a = top.alphaF();
    return QColor::fromRgbF(top.redF() * a + bottom.redF() * (1 - a),
                            top.greenF() * a + bottom.greenF() * (1 - a),
                            top.blueF() * a + bottom.blueF() * (1 - a));
}

} // namespace

ReaderTheme::ReaderTheme(bool dark, std::optional<QColor> accent)
    : dark_(dark)
    , accent_(accent && accent->isValid() ? *accent : fallbackAccent()) {}

ReaderTheme ReaderTheme::of(const AppSettings& settings) {
    return ReaderTheme(settings.darkTheme(), AppSettings::hex(settings.accentHex()));
}

QColor ReaderTheme::fallbackAccent() {
    return QColor::fromRgbF(0.0f, 1.0f, 0.25f);
}

QColor ReaderTheme::primaryText() const {
    return dark_ ? grey(0.96) : grey(0.08);
}
QColor ReaderTheme::secondaryText() const {
    return dark_ ? grey(0.74) : grey(0.34);
}
QColor ReaderTheme::tertiaryText() const {
    return dark_ ? grey(0.56) : grey(0.45);
}
QColor ReaderTheme::tick() const {
    return dark_ ? grey(0.5, 0.6) : grey(0.35, 0.6);
}
QColor ReaderTheme::background(Backdrop backdrop) const {
    const QColor blurredTint = dark_ ? grey(0.0, 0.82) : grey(1.0, 0.72);
    switch (backdrop) {
    case Backdrop::opaque:
        return over(blurredTint, grey(0.5));
    case Backdrop::sharp:
        // What shows through differs from the fill by less than 1.1 : 1 in contrast, over black
        // and over white alike.
        return dark_ ? grey(0.0, 0.94) : grey(1.0, 0.96);
    case Backdrop::blurred:
        break;
    }
    return blurredTint;
}
QColor ReaderTheme::border() const {
    return dark_ ? grey(1.0, 0.09) : grey(0.0, 0.08);
}
QColor ReaderTheme::progressTrack() const {
    return dark_ ? grey(1.0, 0.12) : grey(0.0, 0.12);
}
QColor ReaderTheme::codeBackground() const {
    return dark_ ? grey(0.0, 0.35) : grey(0.0, 0.06);
}

} // namespace Blinkwit
