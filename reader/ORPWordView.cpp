#include "ORPWordView.h"

#include "PivotLine.h"
#include "ReaderFont.h"
#include "core/ORP.h"
#include "core/UnicodeText.h"

#include <QPainter>
#include <limits>
#include <unicode/unistr.h>
#include <vector>

namespace Blinkwit {

namespace {

constexpr double smallestFittedSize = 14.0;
constexpr double fitStep = 0.88;
constexpr double wholeTextScale = 0.55;
constexpr double codeScale = 0.82;
constexpr double wholeTextOpacity = 0.9;
// Only the start of a very long word is shaped and drawn: this many characters after the pivot
// overflow the panel even at the smallest fitted size, so nothing further could show.
constexpr std::size_t drawnBytes = 4096;
constexpr std::int64_t drawnCharactersAfterPivot = 128;

// UTF-16 offsets of the user-perceived character boundaries of text, 0 and length included.
std::vector<int> graphemeBoundaries(const QString& text) {
    // Read-only alias: ICU looks at Qt's UTF-16 buffer without copying it.
    const icu::UnicodeString utf16(false, reinterpret_cast<const char16_t*>(text.utf16()),
                                   int32_t(text.size()));
    const std::vector<std::int32_t> bounds = BlinkwitCore::UnicodeText::graphemeBoundaries(utf16);
    return {bounds.begin(), bounds.end()};
}

// The first drawnBytes of utf8 at most, cut between code points.
std::string_view drawnPrefix(std::string_view utf8) {
    if (utf8.size() <= drawnBytes)
        return utf8;
    std::size_t end = drawnBytes;
    while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
        --end;
    return utf8.substr(0, end);
}

bool drawsWhole(const BlinkwitCore::Token& token) {
    using Case = BlinkwitCore::TokenKind::Case;
    return token.kind.kind() == Case::url || token.kind.kind() == Case::codeBlock;
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
    const PivotLine line(text, pivot ? pivot->start : 0, pivot ? pivot->end : 0, font, device);
    // The word hangs off the fixation point unevenly: the longer side decides.
    const double centre = line.pivotCentre();
    return 2 * std::max(centre, line.width() - centre);
}

ORPWordView::Layout ORPWordView::layout(const QPaintDevice* device) const {
    Layout result = fitted(device);
    const PivotLine line(result.text, result.pivotStart, result.pivotEnd, result.font, device);
    result.width = line.width();
    result.left = -line.pivotCentre();
    return result;
}

ORPWordView::Layout ORPWordView::fitted(const QPaintDevice* device) const {
    Layout result;
    const bool whole = drawsWhole(token_);
    const bool isCode = token_.kind.kind() == BlinkwitCore::TokenKind::Case::code;
    const double base = whole    ? wholeTextScale * fontSize_
                        : isCode ? codeScale * fontSize_
                                 : fontSize_;
    if (whole) {
        result.text = QString::fromStdString(token_.text);
        result.font = fittedFont(result.text, base, true, maxWidth_, device);
        return result;
    }
    placePivot(result);
    result.font = fittedFont(result.text, base, token_.isMonospace(), maxWidth_, device,
                             PivotRange{result.pivotStart, result.pivotEnd});
    return result;
}

void ORPWordView::placePivot(Layout& layout) const {
    const std::string_view prefix = drawnPrefix(token_.text);
    const bool cut = prefix.size() < token_.text.size();
    layout.text = QString::fromUtf8(prefix.data(), qsizetype(prefix.size()));
    std::vector<int> bounds = graphemeBoundaries(layout.text);
    if (cut && bounds.size() > 2)
        bounds.pop_back(); // the last character may have lost its marks
    const auto counted = std::int64_t(bounds.size()) - 1;
    // A word cut short is longer than any length the pivot's position tells apart.
    const std::int64_t characters = cut ? std::numeric_limits<std::int64_t>::max() : counted;
    const std::int64_t k =
        counted <= 1 ? 0 : std::min(BlinkwitCore::ORP::indexForLength(characters), counted - 1);
    const std::int64_t last = std::min(counted, k + 1 + drawnCharactersAfterPivot);
    layout.text.truncate(bounds[std::size_t(last)]);
    layout.pivotStart = bounds[std::size_t(k)];
    layout.pivotEnd = counted == 0 ? 0 : bounds[std::size_t(k) + 1];
}

void ORPWordView::paint(QPainter& painter, QPointF fixation) const {
    const Layout parts = fitted(painter.device());
    const PivotLine line(parts.text, parts.pivotStart, parts.pivotEnd, parts.font,
                         painter.device());
    const QPointF origin(fixation.x() - line.pivotCentre(), fixation.y() - line.height() / 2);
    QColor colour = primary_;
    if (drawsWhole(token_))
        colour.setAlphaF(float(colour.alphaF() * wholeTextOpacity));
    painter.save();
    line.paint(painter, origin, colour, accent_);
    painter.restore();
}

} // namespace Blinkwit
