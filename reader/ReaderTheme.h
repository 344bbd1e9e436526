#pragma once

#include <QColor>
#include <optional>

namespace Blinkwit {

// The reader's colours: a dark or light look and the accent of the pivot letter. Every view
// takes its colours from here so that a theme change repaints consistently.
class AppSettings;

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
    QColor tint() const;
    QColor border() const;
    QColor progressTrack() const;
    QColor codeBackground() const;
    // The tint as it looks over a mid-grey desktop: the background when the window system
    // cannot blend (no compositing manager).
    QColor opaqueBackground() const;

private:
    bool dark_;
    QColor accent_;
};

} // namespace Blinkwit
