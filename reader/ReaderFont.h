#pragma once

#include <QFont>

namespace Blinkwit {

// The desktop's interface fonts at a size in logical pixels. The reader's geometry is laid out
// in logical pixels too, so a word of size 48 is as tall as 48 units of the panel.
class ReaderFont {
public:
    ReaderFont() = delete;

    static QFont system(double size, QFont::Weight weight = QFont::Normal);
    static QFont monospaced(double size, QFont::Weight weight = QFont::Normal);
    // Linux desktops ship no rounded design of the interface face: the system face stands in.
    static QFont rounded(double size, QFont::Weight weight = QFont::Normal);
    static QFont resized(QFont font, double size);
    static double size(const QFont& font);
};

} // namespace Blinkwit
