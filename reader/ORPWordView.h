#pragma once

#include "core/Token.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QString>
#include <optional>

class QPainter;
class QPaintDevice;

namespace Blinkwit {

// Draws one token so that its optimal-recognition-point letter, in the accent colour and never
// merged with a neighbour, has the centre of its ink exactly on the fixation point, with the
// rest of the word around it in any script or direction. Code blocks and web addresses are drawn
// whole, smaller and without a pivot letter.
class ORPWordView {
public:
    // Where the parts of a word go when it is drawn centred on a point.
    struct Layout {
        QFont font;
        QString text;       // what is drawn: the token's text, or the start of a very long one
        int pivotStart = 0; // UTF-16 offsets of the pivot character in text
        int pivotEnd = 0;   // pivotStart == pivotEnd: the word is drawn whole, no pivot
        double width = 0;   // advance of the whole run
        double left = 0;    // x of the run's start, relative to the fixation point
    };

    ORPWordView(const BlinkwitCore::Token& token, double fontSize, double maxWidth, QColor accent,
                QColor primary);

    // UTF-16 offsets of the pivot character.
    struct PivotRange {
        int start;
        int end;
    };

    // The base-size font, shrunk by factors of 0.88 while the text's span is wider than
    // maxWidth and the size is above 14. Without a pivot the span is the text's width; with one
    // it is twice the longer side measured from the pivot's centre, since that centre is what
    // sits in the middle. device: what the text will be drawn on (its resolution decides the
    // measurements); null for the screen.
    static QFont fittedFont(const QString& text, double baseSize, bool mono, double maxWidth,
                            const QPaintDevice* device,
                            std::optional<PivotRange> pivot = std::nullopt);
    static double span(const QString& text, const QFont& font, const QPaintDevice* device,
                       std::optional<PivotRange> pivot);

    Layout layout(const QPaintDevice* device) const;
    void paint(QPainter& painter, QPointF fixation) const;

private:
    // The text to draw, its pivot and its font; no measurements.
    Layout fitted(const QPaintDevice* device) const;
    // Sets the text to draw and the pivot character in it.
    void placePivot(Layout& layout) const;

    const BlinkwitCore::Token& token_;
    double fontSize_;
    double maxWidth_;
    QColor accent_;
    QColor primary_;
};

} // namespace Blinkwit
