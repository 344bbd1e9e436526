#include "ReaderFont.h"

#include <QFontDatabase>

namespace Blinkwit {

namespace {

// Qt's logical resolution is 96 dots per inch once high-DPI scaling is on (always in Qt 6).
constexpr double pointsPerPixel = 72.0 / 96.0;

QFont make(QFont font, double size, QFont::Weight weight) {
    font.setWeight(weight);
    font.setKerning(true);
    return ReaderFont::resized(font, size);
}

} // namespace

QFont ReaderFont::system(double size, QFont::Weight weight) {
    return make(QFontDatabase::systemFont(QFontDatabase::GeneralFont), size, weight);
}

QFont ReaderFont::monospaced(double size, QFont::Weight weight) {
    return make(QFontDatabase::systemFont(QFontDatabase::FixedFont), size, weight);
}

QFont ReaderFont::rounded(double size, QFont::Weight weight) {
    return system(size, weight);
}

QFont ReaderFont::resized(QFont font, double size) {
    font.setPointSizeF(size * pointsPerPixel);
    return font;
}

double ReaderFont::size(const QFont& font) {
    return font.pointSizeF() / pointsPerPixel;
}

} // namespace Blinkwit
