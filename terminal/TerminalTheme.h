#pragma once

#include "Frame.h"
#include "TerminalColor.h"

namespace Blinkwit {

class AppSettings;

// The reader's colours for a terminal: dark or light, the accent, and how many colours the
// terminal shows. Without colour the roles fall back to attributes (bold, dim, underline,
// reverse) so that the pivot letter, the marks and the code still stand out.
struct TerminalTheme {
    bool dark = true;
    Rgb accent{0, 255, 64};
    ColorDepth depth = ColorDepth::trueColor;

    static TerminalTheme from(const AppSettings& settings, ColorDepth depth);

    bool colored() const { return depth != ColorDepth::none; }

    // Backdrop colours: the panel's tint laid over a mid-grey desktop.
    Rgb background() const;
    Rgb primary() const;
    Rgb secondary() const;
    Rgb tertiary() const;
    Rgb codeBackground() const;

    // Cell styles by role.
    CellStyle base() const;
    CellStyle word() const;
    CellStyle pivot() const;
    CellStyle address() const;
    CellStyle codeBlock() const;
    CellStyle tick() const;
    CellStyle countdown() const;
    CellStyle title() const;
    CellStyle body() const;
    CellStyle hint() const;
    CellStyle faintHint() const;
    CellStyle progressFill() const;
    CellStyle progressTrack() const;
    CellStyle badge() const;
    CellStyle codeBorder() const;
    CellStyle codeText() const;

private:
    CellStyle text(Rgb color) const;
    // color, unless the terminal would show it in the background's own colour.
    Rgb visible(Rgb color) const;
    CellStyle mono() const { return {}; }
};

} // namespace Blinkwit
