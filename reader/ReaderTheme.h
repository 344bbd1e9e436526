#pragma once

#include <QColor>
#include <optional>

namespace Blinkwit {

class AppSettings;

// What the reader panel is drawn over.
enum class Backdrop {
    opaque,  // nothing: the window system cannot blend, the panel paints every pixel
    sharp,   // the desktop as it is
    blurred, // the desktop blurred by the compositor
};

// The reader's colours: a dark or light look and the accent of the pivot letter. Every view
// takes its colours from here so that a theme change repaints consistently.
class ReaderTheme {
public:
    ReaderTheme(bool dark, std::optional<QColor> accent);
    // The theme the settings ask for now.
    static ReaderTheme of(const AppSettings& settings);

    // Used when the stored accent is not a readable colour.
    static QColor fallbackAccent();

    bool dark() const { return dark_; }
    QColor accent() const { return accent_; }

    QColor primaryText() const;
    QColor secondaryText() const;
    QColor tertiaryText() const;
    QColor tick() const;
    // The panel's fill. Over a blurred desktop a light tint is enough; over a sharp one the tint
    // hides it almost completely, so that text behind the panel does not compete with the
    // panel's own; an opaque panel looks like the blurred tint over a mid-grey desktop.
    QColor background(Backdrop backdrop) const;
    QColor border() const;
    QColor progressTrack() const;
    QColor codeBackground() const;

private:
    bool dark_;
    QColor accent_;
};

} // namespace Blinkwit
