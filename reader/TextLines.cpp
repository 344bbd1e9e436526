#include "TextLines.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <limits>

namespace Blinkwit {

namespace {

constexpr double unlimited = std::numeric_limits<double>::max() / 4;

QStringList wrap(const QString& text, const QFont& font, double width, int maxLines,
                 const QPaintDevice* device) {
    QStringList lines;
    if (text.isEmpty() || maxLines <= 0)
        return lines;
    QTextLayout layout(text, font, const_cast<QPaintDevice*>(device));
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (lines.size() + 1 == maxLines) {
            // The last allowed line takes the rest of the text, elided to the width.
            const QFontMetricsF metrics(font, device);
            lines << metrics.elidedText(text.mid(line.textStart()).simplified(), Qt::ElideRight,
                                        width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

} // namespace

TextLines::TextLines(const QString& text, const QFont& font, double width, int maxLines,
                     const QPaintDevice* device)
    : font_(font)
    , lines_(wrap(text, font, width > 0 ? width : unlimited, maxLines, device))
    , lineHeight_(QFontMetricsF(font, device).lineSpacing()) {}

void TextLines::paint(QPainter& painter, double centreX, double top, const QColor& colour) const {
    painter.save();
    painter.setFont(font_);
    painter.setPen(colour);
    const QFontMetricsF metrics(font_, painter.device());
    double y = top + metrics.ascent();
    for (const QString& line : lines_) {
        painter.drawText(QPointF(centreX - metrics.horizontalAdvance(line) / 2, y), line);
        y += lineHeight_;
    }
    painter.restore();
}

} // namespace Blinkwit
