#pragma once

#include <QColor>
#include <QRectF>

class QPainter;

namespace Blinkwit {

// The two symbols of the reader's screens, drawn as paths so they take any colour and stay
// sharp at every scale.
class ReaderSymbols {
public:
    ReaderSymbols() = delete;

    // Corner brackets of a viewfinder around three lines of text: "nothing to read".
    static void paintTextViewfinder(QPainter& painter, const QRectF& box, const QColor& colour);
    // A filled circle with a check mark cut out of it: "done".
    static void paintFilledCheckmarkCircle(QPainter& painter, const QRectF& box,
                                           const QColor& colour);
};

} // namespace Blinkwit
