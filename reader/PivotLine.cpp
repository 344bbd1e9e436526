#include "PivotLine.h"

#include <QGlyphRun>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <QTextLine>
#include <algorithm>
#include <optional>
#include <unicode/uchar.h>

namespace Blinkwit {

namespace {

// Stops ligatures across a boundary; on its own it also stops cursive joining.
constexpr char16_t zeroWidthNonJoiner = 0x200C;
// Around a non-joiner, keeps the letters on both sides in their joined forms.
constexpr char16_t zeroWidthJoiner = 0x200D;

// The code point that ends before at, or starts at at; at moves past it.
char32_t codePointBefore(const QString& text, int& at) {
    const QChar low = text.at(--at);
    if (low.isLowSurrogate() && at > 0 && text.at(at - 1).isHighSurrogate()) {
        --at;
        return QChar::surrogateToUcs4(text.at(at), low);
    }
    return low.unicode();
}

char32_t codePointAt(const QString& text, int& at) {
    const QChar high = text.at(at++);
    if (high.isHighSurrogate() && at < text.size() && text.at(at).isLowSurrogate())
        return QChar::surrogateToUcs4(high, text.at(at++));
    return high.unicode();
}

// Joining type of the nearest character on one side of boundary that takes part in joining:
// marks and other transparent characters are looked through.
int joiningTypeBeside(const QString& text, int boundary, bool before) {
    int at = boundary;
    while (before ? at > 0 : at < text.size()) {
        const char32_t c = before ? codePointBefore(text, at) : codePointAt(text, at);
        const int type = u_getIntPropertyValue(UChar32(c), UCHAR_JOINING_TYPE);
        if (type != U_JT_TRANSPARENT)
            return type;
    }
    return U_JT_NON_JOINING;
}

// Whether the letters on both sides of boundary join (Arabic, Syriac, N'Ko, Mongolian...).
bool joinsAcross(const QString& text, int boundary) {
    const int before = joiningTypeBeside(text, boundary, true);
    const int after = joiningTypeBeside(text, boundary, false);
    const bool joinsForward =
        before == U_JT_DUAL_JOINING || before == U_JT_LEFT_JOINING || before == U_JT_JOIN_CAUSING;
    const bool joinsBackward =
        after == U_JT_DUAL_JOINING || after == U_JT_RIGHT_JOINING || after == U_JT_JOIN_CAUSING;
    return joinsForward && joinsBackward;
}

QString separatorAt(const QString& text, int boundary) {
    const QChar keptJoined[] = {QChar(zeroWidthJoiner), QChar(zeroWidthNonJoiner),
                                QChar(zeroWidthJoiner)};
    return joinsAcross(text, boundary) ? QString(keptJoined, 3) : QString(keptJoined + 1, 1);
}

qsizetype glyphCount(const QTextLayout& layout, int from, int length) {
    if (length <= 0)
        return 0;
    qsizetype count = 0;
    for (const QGlyphRun& run : layout.glyphRuns(from, length))
        count += run.glyphIndexes().size();
    return count;
}

// Left and right edges of the ink of the glyphs drawn for a character range; none when the
// range draws nothing with an outline (a blank, or a bitmap glyph).
std::optional<std::pair<double, double>> inkExtent(const QTextLayout& layout, int from,
                                                   int length) {
    std::optional<std::pair<double, double>> extent;
    for (const QGlyphRun& run : layout.glyphRuns(from, length)) {
        const QRawFont font = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const QRectF ink = font.pathForGlyph(glyphs[i]).boundingRect();
            if (ink.isEmpty())
                continue;
            const double left = positions[i].x() + ink.left();
            const double right = positions[i].x() + ink.right();
            extent = extent
                         ? std::pair{std::min(extent->first, left), std::max(extent->second, right)}
                         : std::pair{left, right};
        }
    }
    return extent;
}

} // namespace

PivotLine::PivotLine(const QString& text, int pivotStart, int pivotEnd, const QFont& font,
                     const QPaintDevice* device)
    : text_(text)
    , pivotStart_(pivotStart)
    , pivotEnd_(pivotEnd)
    , afterStart_(pivotEnd)
    , layout_(text, font, device) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout_.setTextOption(option);
    layOut();
    if (pivotStart_ < pivotEnd_ && !pivotHasOwnGlyphs()) {
        separatePivot(text);
        layout_.setText(text_);
        layOut();
    }
    measure();
}

void PivotLine::layOut() {
    layout_.beginLayout();
    layout_.createLine();
    layout_.endLayout();
}

// A ligature glyph that spans a pivot boundary is listed for the characters on both sides.
bool PivotLine::pivotHasOwnGlyphs() const {
    const auto length = int(text_.size());
    return glyphCount(layout_, 0, pivotStart_) +
               glyphCount(layout_, pivotStart_, pivotEnd_ - pivotStart_) +
               glyphCount(layout_, pivotEnd_, length - pivotEnd_) ==
           glyphCount(layout_, 0, length);
}

void PivotLine::separatePivot(const QString& text) {
    const QString before = pivotStart_ > 0 ? separatorAt(text, pivotStart_) : QString();
    const QString after = pivotEnd_ < text.size() ? separatorAt(text, pivotEnd_) : QString();
    text_ = text.left(pivotStart_) + before + text.mid(pivotStart_, pivotEnd_ - pivotStart_) +
            after + text.mid(pivotEnd_);
    pivotStart_ += int(before.size());
    pivotEnd_ += int(before.size());
    afterStart_ = pivotEnd_ + int(after.size());
}

void PivotLine::measure() {
    const QTextLine line = layout_.lineAt(0);
    width_ = line.naturalTextWidth();
    height_ = line.height();
    if (pivotStart_ == pivotEnd_) {
        pivotCentre_ = width_ / 2;
        return;
    }
    const auto ink = inkExtent(layout_, pivotStart_, pivotEnd_ - pivotStart_);
    if (ink) {
        pivotCentre_ = (ink->first + ink->second) / 2;
        return;
    }
    pivotCentre_ = (line.cursorToX(pivotStart_) + line.cursorToX(pivotEnd_)) / 2;
}

void PivotLine::paint(QPainter& painter, QPointF origin, const QColor& primary,
                      const QColor& accent) const {
    const auto draw = [&](int from, int length, const QColor& colour) {
        if (length <= 0)
            return;
        painter.setPen(colour);
        for (const QGlyphRun& run : layout_.glyphRuns(from, length))
            painter.drawGlyphRun(origin, run);
    };
    const auto length = int(text_.size());
    if (pivotStart_ == pivotEnd_) {
        draw(0, length, primary);
        return;
    }
    draw(0, pivotStart_, primary);
    draw(pivotStart_, pivotEnd_ - pivotStart_, accent);
    // Qt lists a glyph also for a joiner that follows it: the range after the pivot starts past
    // the invisible separators, so that the pivot is not drawn over in the primary colour.
    draw(afterStart_, length - afterStart_, primary);
}

} // namespace Blinkwit
