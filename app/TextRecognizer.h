#pragma once

#include "ScreenOCRError.h"

#include <QImage>
#include <QRectF>
#include <QString>
#include <variant>
#include <vector>

namespace Blinkwit {

// One recognised text fragment: its text and where it lies, as fractions of the image's width
// and height measured from the image's bottom-left corner, y upwards.
struct Box {
    QString text;
    QRectF rect;
};

// The fragments found in an image, in the recogniser's order, or why it could not run.
using Recognition = std::variant<std::vector<Box>, ScreenOCRError>;

// An on-device text recogniser. Called on any one thread at a time.
class TextRecognizer {
public:
    virtual ~TextRecognizer() = default;

    virtual Recognition recognize(const QImage& image) = 0;
};

} // namespace Blinkwit
