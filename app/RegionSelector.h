#pragma once

#include <QRectF>
#include <functional>
#include <optional>

namespace Blinkwit {

// Lets the user drag a rectangle over the screen.
class RegionSelector {
public:
    // The rectangle in points on the desktop, from the primary display's top-left corner, y
    // down; nothing when the user cancelled or the rectangle was too small.
    using Completion = std::function<void(std::optional<QRectF>)>;

    virtual ~RegionSelector() = default;

    // Whether a selection is on screen now.
    virtual bool selecting() const = 0;
    // Starts a selection and calls completion once, later, on the main thread. Ignored (and
    // completion never called) while a selection is on screen.
    virtual void begin(Completion completion) = 0;
};

} // namespace Blinkwit
