#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;
class QPaintDevice;

namespace Blinkwit {

// A short text broken into at most maxLines lines of a given width (the last one elided when
// the text is longer), drawn with each line centred. For the labels of the reader's views.
class TextLines {
public:
    TextLines(const QString& text, const QFont& font, double width, int maxLines,
              const QPaintDevice* device);

    const QStringList& lines() const { return lines_; }
    double height() const { return lineHeight_ * double(lines_.size()); }
    // Draws the lines centred horizontally on centreX, starting at top.
    void paint(QPainter& painter, double centreX, double top, const QColor& colour) const;

private:
    QFont font_;
    QStringList lines_;
    double lineHeight_ = 0;
};

} // namespace Blinkwit
