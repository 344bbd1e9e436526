#include "FooterView.h"

#include "ReaderEngine.h"
#include "ReaderFont.h"
#include "ReaderTheme.h"
#include "SeekableProgressBar.h"
#include "settings/AppSettings.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace Blinkwit {

namespace {

constexpr double keysOpacity = 0.75;

int rowHeight() {
    return int(std::ceil(QFontMetricsF(ReaderFont::rounded(10)).height()));
}

} // namespace

FooterView::FooterView(ReaderEngine& engine, const AppSettings& settings, QWidget* parent)
    : QWidget(parent)
    , engine_(engine)
    , settings_(settings) {
    SeekableProgressBar::Inputs inputs{
        [this] { return engine_.progress(); },
        [this] { return ReaderTheme::of(settings_).accent(); },
        [this] { return ReaderTheme::of(settings_).progressTrack(); },
        [&engine](double fraction) { engine.seek(fraction); },
    };
    bar_ = new SeekableProgressBar(std::move(inputs), this);
}

QFont FooterView::labelFont() {
    return ReaderFont::rounded(10, QFont::Medium);
}

int FooterView::nominalHeight() {
    return topPadding + barHeight + spacing + rowHeight() + bottomPadding;
}

int FooterView::overhang() {
    return SeekableProgressBar::hitMargin - topPadding;
}

QString FooterView::rateText() const {
    return QStringLiteral("%1 WPM").arg(engine_.wpm());
}

QString FooterView::remainingText() const {
    return engine_.remainingLabel();
}

QString FooterView::keysText() {
    return QStringLiteral("space pause · ↑↓ speed · ←→ jump · esc close");
}

void FooterView::resizeEvent(QResizeEvent*) {
    const int margin = SeekableProgressBar::hitMargin;
    bar_->setGeometry(sidePadding - margin, overhang() + topPadding - margin,
                      width() - 2 * sidePadding + 2 * margin, barHeight + 2 * margin);
}

void FooterView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const ReaderTheme theme = ReaderTheme::of(settings_);
    const QFont font = labelFont();
    const QFontMetricsF metrics(font, painter.device());
    const double top = overhang() + topPadding + barHeight + spacing;
    const double baseline = top + (rowHeight() + metrics.ascent() - metrics.descent()) / 2;
    const double right = width() - sidePadding;

    painter.setFont(font);
    painter.setPen(theme.tertiaryText());
    painter.drawText(QPointF(sidePadding, baseline), rateText());
    const QString remaining = remainingText();
    painter.drawText(QPointF(right - metrics.horizontalAdvance(remaining), baseline), remaining);
    painter.setOpacity(keysOpacity);
    const QString keys = keysText();
    painter.drawText(QPointF(width() / 2.0 - metrics.horizontalAdvance(keys) / 2, baseline), keys);
}

} // namespace Blinkwit
