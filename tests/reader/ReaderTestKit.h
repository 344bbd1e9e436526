#pragma once

#include "EngineFixture.h"

#include <QColor>
#include <QImage>
#include <utility>

class QWidget;

namespace Blinkwit::Testing {

// The widget painted into an image at a device pixel ratio, transparent where it paints nothing.
QImage render(QWidget& widget, double devicePixelRatio = 1.0);
// Whether the colours match within tolerance per channel (0...255).
bool near(QColor a, QColor b, int tolerance = 3);
// How many pixels of the image match the colour within tolerance.
int countNear(const QImage& image, QColor colour, int tolerance);
// The first and last columns holding pixels mostly of the colour (within 60 per channel), within
// the rows top...bottom; -1 when there is none.
std::pair<int, int> columnsOf(const QImage& image, QColor colour, int top = 0, int bottom = -1);

} // namespace Blinkwit::Testing
