#include "ORPWordView.h"

#include "ReaderFont.h"
#include "core/ORP.h"
#include "core/UnicodeText.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <unicode/unistr.h>
#include <vector>

namespace Blinkwit {

namespace {

constexpr double smallestFittedSize = 14.0;
constexpr double fitStep = 0.88;
constexpr double wholeTextScale = 0.55;
constexpr double codeScale = 0.82;
constexpr double wholeTextOpacity = 0.9;

// UTF-16 offsets of the user-perceived character boundaries of text, 0 and length included.
std::vector<int> graphemeBoundaries(const QString& text) {
    // Read-only alias: ICU looks at Qt's UTF-16 buffer without copying it.
    const icu::UnicodeString utf16(false, reinterpret_cast<const char16_t*>(text.utf16()),
                                   int32_t(text.size()));
    const std::vector<std::int32_t> bounds = BlinkwitCore::UnicodeText::graphemeBoundaries(utf16);
    return {bounds.begin(), bounds.end()};
}

bool drawsWhole(const BlinkwitCore::Token& token) {
    using Case = BlinkwitCore::TokenKind::Case;
    return token.kind.kind() == Case::url || token.kind.kind() == Case::codeBlock;
}

// One unwrapped line; the caller's layout holds the text and font.
QTextLine layOutOneLine(QTextLayout& layout) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
}

void drawRange(QPainter& painter, const QTextLayout& layout, QPointF origin, int from, int length,
               const QColor& colour) {
    if (length <= 0)
        return;
    painter.setPen(colour);
    for (const QGlyphRun& run : layout.glyphRuns(from, length))
        painter.drawGlyphRun(origin, run);
}

} // namespace

ORPWordView::ORPWordView(const BlinkwitCore::Token& token, double fontSize, double maxWidth,
                         QColor accent, QColor primary)
    : token_(token)
    , fontSize_(fontSize)
    , maxWidth_(maxWidth)
    , accent_(accent)
    , primary_(primary) {}

QFont ORPWordView::fittedFont(const QString& text, double baseSize, bool mono, double maxWidth,
                              const QPaintDevice* device, std::optional<PivotRange> pivot) {
    double size = baseSize;
    QFont font = mono ? ReaderFont::monospaced(size, QFont::Medium)
                      : ReaderFont::system(size, QFont::Medium);
    while (size > smallestFittedSize) {
        if (span(text, font, device, pivot) <= maxWidth)
            break;
        size *= fitStep;
        font = ReaderFont::resized(font, size);
    }
    return font;
}

double ORPWordView::span(const QString& text, const QFont& font, const QPaintDevice* device,
                         std::optional<PivotRange> pivot) {
    const QFontMetricsF metrics(font, device);
    const double width = metrics.horizontalAdvance(text);
    if (!pivot)
        return width;
    // The word hangs off the fixation point unevenly: the longer side decides.
    const double before = pivot->start == 0 ? 0.0 : metrics.horizontalAdvance(text, pivot->start);
    const double through = metrics.horizontalAdvance(text, pivot->end);
    const double centre = (before + through) / 2;
    return 2 * std::max(centre, width - centre);
}

ORPWordView::Layout ORPWordView::layout(const QPaintDevice* device) const {
    Layout result;
    result.text = QString::fromStdString(token_.text);
    const bool whole = drawsWhole(token_);
    const bool isCode = token_.kind.kind() == BlinkwitCore::TokenKind::Case::code;
    const double base = whole    ? wholeTextScale * fontSize_
                        : isCode ? codeScale * fontSize_
                                 : fontSize_;
    if (whole) {
        result.font = fittedFont(result.text, base, true, maxWidth_, device);
        result.width = QFontMetricsF(result.font, device).horizontalAdvance(result.text);
        result.left = -result.width / 2;
        return result;
    }
    const std::vector<int> bounds = graphemeBoundaries(result.text);
    const auto characters = std::int64_t(bounds.size()) - 1;
    const std::int64_t k =
        characters <= 1 ? 0
                        : std::min(BlinkwitCore::ORP::indexForLength(characters), characters - 1);
    result.pivotStart = bounds[std::size_t(k)];
    result.pivotEnd = characters == 0 ? 0 : bounds[std::size_t(k) + 1];
    result.font = fittedFont(result.text, base, token_.isMonospace(), maxWidth_, device,
                             PivotRange{result.pivotStart, result.pivotEnd});

    // Every width is taken from one shaping of the whole run, so kerning between the pivot and
    // its neighbours is what actually gets drawn.
    const QFontMetricsF metrics(result.font, device);
    result.width = metrics.horizontalAdvance(result.text);
    result.beforeWidth =
        result.pivotStart == 0 ? 0.0 : metrics.horizontalAdvance(result.text, result.pivotStart);
    result.pivotWidth =
        result.pivotEnd == 0
            ? 0.0
            : metrics.horizontalAdvance(result.text, result.pivotEnd) - result.beforeWidth;
    result.left = -result.beforeWidth - result.pivotWidth / 2;
    return result;
}

void ORPWordView::paint(QPainter& painter, QPointF fixation) const {
    const Layout parts = layout(painter.device());
    QTextLayout run(parts.text, parts.font, painter.device());
    const QTextLine line = layOutOneLine(run);
    const QPointF origin(fixation.x() + parts.left, fixation.y() - line.height() / 2);
    painter.save();
    if (parts.pivotStart == parts.pivotEnd) {
        QColor colour = primary_;
        if (drawsWhole(token_))
            colour.setAlphaF(float(colour.alphaF() * wholeTextOpacity));
        drawRange(painter, run, origin, 0, int(parts.text.size()), colour);
    } else {
        drawRange(painter, run, origin, 0, parts.pivotStart, primary_);
        drawRange(painter, run, origin, parts.pivotStart, parts.pivotEnd - parts.pivotStart,
                  accent_);
        drawRange(painter, run, origin, parts.pivotEnd, int(parts.text.size()) - parts.pivotEnd,
                  primary_);
    }
    painter.restore();
}

} // namespace Blinkwit
