#pragma once

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QString>
#include <QTextLayout>

class QPainter;
class QPaintDevice;

namespace Blinkwit {

// One word shaped as a single line, with one character range (the pivot) set apart: the pivot is
// always drawn as glyphs of its own, never merged into a ligature with its neighbours, while the
// rest of the word keeps its shaping (kerning, ligatures away from the pivot, and the joined forms
// of cursive scripts, the pivot's own contextual form included). Positions are visual, so the
// pivot is found where it really shows in right-to-left and mixed-direction words.
class PivotLine {
public:
    // pivotStart == pivotEnd: no pivot, the word is drawn whole and centred on its middle.
    PivotLine(const QString& text, int pivotStart, int pivotEnd, const QFont& font,
              const QPaintDevice* device);
    PivotLine(const PivotLine&) = delete;
    PivotLine& operator=(const PivotLine&) = delete;

    // Advance of the whole line.
    double width() const { return width_; }
    double height() const { return height_; }
    // Horizontal centre of the pivot's ink (of its advance when it draws nothing), from the line's
    // left edge: the point that goes on the fixation mark.
    double pivotCentre() const { return pivotCentre_; }

    // Draws the line with its top-left corner at origin: the pivot in accent, the rest in primary.
    void paint(QPainter& painter, QPointF origin, const QColor& primary,
               const QColor& accent) const;

private:
    void layOut();
    bool pivotHasOwnGlyphs() const;
    void separatePivot(const QString& text);
    void measure();

    QString text_;
    int pivotStart_;
    int pivotEnd_;
    int afterStart_; // where the rest of the word starts, past any separator after the pivot
    QTextLayout layout_;
    double width_ = 0;
    double height_ = 0;
    double pivotCentre_ = 0;
};

} // namespace Blinkwit
