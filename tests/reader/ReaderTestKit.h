#pragma once

#include "EngineFixture.h"

#include <QColor>
#include <QImage>

class QWidget;

namespace Blinkwit::Testing {

// The widget painted into an image at a device pixel ratio, transparent where it paints nothing.
QImage render(QWidget& widget, double devicePixelRatio = 1.0);
// Whether the colours match within tolerance per channel (0...255).
bool near(QColor a, QColor b, int tolerance = 3);
// How many pixels of the image match the colour within tolerance.
int countNear(const QImage& image, QColor colour, int tolerance);

} // namespace Blinkwit::Testing
