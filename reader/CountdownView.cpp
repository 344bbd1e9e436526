#include "CountdownView.h"

#include "ReaderEngine.h"
#include "ReaderFont.h"
#include "ReaderTheme.h"

#include <QFontMetricsF>
#include <QPainter>

namespace Blinkwit {

namespace {

constexpr double digitSize = 56;
constexpr double travel = 18;

} // namespace

CountdownView::CountdownView(const ReaderEngine& engine, const AppSettings& settings,
                             QWidget* parent)
    : QWidget(parent)
    , engine_(engine)
    , settings_(settings) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    transition_.setStartValue(0.0);
    transition_.setEndValue(1.0);
    transition_.setDuration(transitionMilliseconds);
    transition_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&transition_, &QVariantAnimation::valueChanged, this, [this] { update(); });
}

int CountdownView::number() const {
    return engine_.phase().countdownNumber();
}

void CountdownView::refresh() {
    const int now = number();
    if (now == shown_)
        return;
    leaving_ = shown_;
    shown_ = now;
    transition_.stop();
    if (animated_ && leaving_ != 0 && isVisible())
        transition_.start();
    update();
}

void CountdownView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool running = transition_.state() == QAbstractAnimation::Running;
    const double t = running ? transition_.currentValue().toDouble() : 1.0;
    if (running)
        paintNumber(painter, leaving_, -travel * t, 1.0 - t);
    paintNumber(painter, number(), travel * (1.0 - t), t);
}

void CountdownView::paintNumber(QPainter& painter, int value, double offset, double opacity) const {
    if (opacity <= 0)
        return;
    const QFont font = ReaderFont::rounded(digitSize, QFont::Bold);
    const QString digits = QString::number(value);
    const QFontMetricsF metrics(font, painter.device());
    const QPointF baseline(width() / 2.0 - metrics.horizontalAdvance(digits) / 2,
                           height() / 2.0 + (metrics.ascent() - metrics.descent()) / 2 + offset);
    painter.save();
    painter.setOpacity(opacity);
    painter.setFont(font);
    painter.setPen(ReaderTheme::of(settings_).accent());
    painter.drawText(baseline, digits);
    painter.restore();
}

} // namespace Blinkwit
