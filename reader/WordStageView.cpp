#include "WordStageView.h"

#include "ORPWordView.h"
#include "ReaderEngine.h"
#include "ReaderFont.h"
#include "ReaderTheme.h"
#include "TextLines.h"
#include "VisibleWord.h"
#include "settings/AppSettings.h"

#include <QPainter>

namespace Blinkwit {

namespace {

constexpr double pausedCentre = 0.42;
constexpr double tickGapFactor = 0.62;
constexpr double tickGap = 8;
constexpr double sentencePadding = 28;
constexpr double sentenceBottom = 26;
constexpr double sentenceSpacing = 3;

QFont sentenceFont() {
    return ReaderFont::system(12.5);
}
QFont hintFont() {
    return ReaderFont::system(10);
}

} // namespace

WordStageView::WordStageView(const ReaderEngine& engine, const AppSettings& settings,
                             QWidget* parent)
    : QWidget(parent)
    , engine_(engine)
    , settings_(settings) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QPointF WordStageView::fixation() const {
    const bool paused = engine_.phase().is(Phase::Case::paused);
    return {0.5 * width(), (paused ? pausedCentre : 0.5) * height()};
}

bool WordStageView::showsSentence() const {
    return engine_.phase().is(Phase::Case::paused) && !engine_.expandedCodeVisible();
}

// The Linux way of naming the key: "⇧←→ paragraphs" -> "Shift+←→ paragraphs".
QString WordStageView::keyHint() const {
    const BlinkwitCore::Token* token = engine_.current();
    if (token && token->isCodeBlock())
        return QStringLiteral("Space to resume · Enter to expand code · ←→ sentences");
    return QStringLiteral("Space to resume · ←→ sentences · Shift+←→ paragraphs");
}

QStringList WordStageView::pausedTexts() const {
    if (!showsSentence())
        return {};
    const double width = this->width() - 2 * sentencePadding;
    QStringList texts =
        TextLines(engine_.sentenceContext(), sentenceFont(), width, 2, this).lines();
    texts << keyHint();
    return texts;
}

void WordStageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QPointF point = fixation();
    paintTicks(painter, point);
    if (const BlinkwitCore::Token* token = engine_.current()) {
        const ReaderTheme theme = ReaderTheme::of(settings_);
        const BlinkwitCore::Token shown = VisibleWord::of(*token);
        ORPWordView(shown, settings_.fontSize(), width() - 2 * sideMargin, theme.accent(),
                    theme.primaryText())
            .paint(painter, point);
    }
    if (showsSentence())
        paintSentence(painter);
}

void WordStageView::paintTicks(QPainter& painter, QPointF point) const {
    const double offset = tickGapFactor * settings_.fontSize() + tickGap;
    const QColor colour = ReaderTheme::of(settings_).tick();
    for (const double y : {point.y() - offset, point.y() + offset})
        painter.fillRect(QRectF(point.x() - 1, y - 6, 2, 12), colour);
}

void WordStageView::paintSentence(QPainter& painter) const {
    const ReaderTheme theme = ReaderTheme::of(settings_);
    const double width = this->width() - 2 * sentencePadding;
    const TextLines sentence(engine_.sentenceContext(), sentenceFont(), width, 2, painter.device());
    const TextLines hint(keyHint(), hintFont(), width, 1, painter.device());
    const double spacing = sentence.lines().isEmpty() ? 0 : sentenceSpacing;
    const double total = sentence.height() + spacing + hint.height();
    const double top = height() - sentenceBottom - total / 2;
    sentence.paint(painter, 0.5 * this->width(), top, theme.secondaryText());
    hint.paint(painter, 0.5 * this->width(), top + sentence.height() + spacing,
               theme.tertiaryText());
}

} // namespace Blinkwit
