#pragma once

#include "Frame.h"
#include "ReaderSnapshot.h"
#include "TerminalTheme.h"

namespace Blinkwit {

struct TerminalSize {
    int columns = 80;
    int rows = 24;

    bool operator==(const TerminalSize&) const = default;
};

// The reader as a terminal screen: a pure function of the reader's state, the terminal's size
// and the theme. The stage fills the screen above a two-row footer (progress bar, then rate,
// keys and time left); the word's pivot letter always sits in the middle column, between two
// marks in the rows above and below it.
class FrameComposer {
public:
    FrameComposer() = delete;

    struct CodeViewport {
        int rows = 0;
        int columns = 0;
    };

    static Frame compose(const ReaderSnapshot& snapshot, TerminalSize size,
                         const TerminalTheme& theme);
    // How many code lines and columns an expanded code block shows at this size.
    static CodeViewport codeViewport(TerminalSize size);
    // Whether a click on this row hits the progress bar (its row and the rows next to it).
    static bool onProgressBar(TerminalSize size, int row);
    // The seek fraction for a release at this column: 0 at or left of the bar's start, 1 at or
    // right of its end.
    static double progressFraction(TerminalSize size, int column);
    // The column of the pivot letter (and of the fixation marks).
    static int pivotColumn(TerminalSize size) { return size.columns / 2; }
};

} // namespace Blinkwit
