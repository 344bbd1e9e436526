#pragma once

#include "TextLines.h"

#include <QColor>
#include <QRectF>
#include <functional>
#include <vector>

class QPainter;

namespace Blinkwit {

// A column of symbols and text blocks, each centred horizontally, the whole column centred
// vertically in a box: the layout of the reader's message screens.
class CentredStack {
public:
    explicit CentredStack(double spacing)
        : spacing_(spacing) {}

    void addSymbol(double size, std::function<void(QPainter&, const QRectF&)> paint);
    void addText(TextLines lines, QColor colour);

    QStringList texts() const;
    void paint(QPainter& painter, const QRectF& box) const;

private:
    struct Item {
        double height;
        std::function<void(QPainter&, double centreX, double top)> paint;
        QStringList texts;
    };

    double spacing_;
    std::vector<Item> items_;
};

} // namespace Blinkwit
