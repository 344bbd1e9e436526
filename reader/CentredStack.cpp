#include "CentredStack.h"

#include <QPainter>

namespace Blinkwit {

void CentredStack::addSymbol(double size, std::function<void(QPainter&, const QRectF&)> paint) {
    items_.push_back({size,
                      [size, paint = std::move(paint)](QPainter& painter, double x, double top) {
                          paint(painter, QRectF(x - size / 2, top, size, size));
                      },
                      {}});
}

void CentredStack::addText(TextLines lines, QColor colour) {
    const double height = lines.height();
    QStringList texts = lines.lines();
    items_.push_back({height,
                      [lines = std::move(lines), colour](QPainter& painter, double x, double top) {
                          lines.paint(painter, x, top, colour);
                      },
                      std::move(texts)});
}

QStringList CentredStack::texts() const {
    QStringList all;
    for (const Item& item : items_)
        all << item.texts;
    return all;
}

void CentredStack::paint(QPainter& painter, const QRectF& box) const {
    double total = 0;
    for (const Item& item : items_)
        total += item.height;
    if (!items_.empty())
        total += spacing_ * double(items_.size() - 1);
    double top = box.center().y() - total / 2;
    for (const Item& item : items_) {
        item.paint(painter, box.center().x(), top);
        top += item.height + spacing_;
    }
}

} // namespace Blinkwit
