#pragma once

#include "TextRecognizer.h"

#include <QString>
#include <optional>
#include <vector>

namespace Blinkwit {

// Rebuilds reading text from recognised fragments: fragments on one visual line joined by a
// blank from left to right, lines by a newline, and a blank line where the vertical gap between
// two lines is large for the text's height.
class TextAssembly {
public:
    // A fragment joins a line when its middle lies within this share of the larger height of
    // itself and the fragment that opened the line.
    static constexpr double sameLineTolerance = 0.6;
    // A gap between line middles above this many mean fragment heights starts a paragraph.
    static constexpr double paragraphGap = 2.2;

    TextAssembly() = delete;

    // The text, trimmed; nothing when it is empty.
    static std::optional<QString> assemble(std::vector<Box> fragments);
};

} // namespace Blinkwit
