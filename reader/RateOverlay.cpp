#include "RateOverlay.h"

#include "ReaderEngine.h"
#include "ReaderFont.h"
#include "ReaderTheme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace Blinkwit {

namespace {

constexpr double horizontalPadding = 14;
constexpr double verticalPadding = 6;
constexpr double capsuleOpacity = 0.35;

QFont badgeFont() {
    return ReaderFont::rounded(15, QFont::DemiBold);
}

} // namespace

RateOverlay::RateOverlay(const ReaderEngine& engine, const AppSettings& settings, QWidget* parent)
    : QWidget(parent)
    , engine_(engine)
    , settings_(settings) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    fade_.setDuration(fadeMilliseconds);
    fade_.setEasingCurve(QEasingCurve::OutCubic);
    fade_.setStartValue(0.0);
    fade_.setEndValue(0.0);
    connect(&fade_, &QVariantAnimation::valueChanged, this, [this] { update(); });
    connect(&fade_, &QVariantAnimation::finished, this,
            [this] { setVisible(engine_.wpmOverlayVisible()); });
    setVisible(false);
}

QString RateOverlay::text() const {
    return QStringLiteral("%1 WPM").arg(engine_.wpm());
}

QSize RateOverlay::badgeSize() const {
    const QFontMetricsF metrics(badgeFont());
    return QSize(int(std::ceil(metrics.horizontalAdvance(text()) + 2 * horizontalPadding)),
                 int(std::ceil(metrics.height() + 2 * verticalPadding)));
}

double RateOverlay::opacity() const {
    if (fade_.state() == QAbstractAnimation::Running)
        return fade_.currentValue().toDouble();
    return engine_.wpmOverlayVisible() ? 1.0 : 0.0;
}

void RateOverlay::refresh() {
    const bool shown = engine_.wpmOverlayVisible();
    const double target = shown ? 1.0 : 0.0;
    if (fade_.endValue().toDouble() != target) {
        const double from = opacity();
        fade_.stop();
        fade_.setStartValue(from);
        fade_.setEndValue(target);
        if (animated_ && (shown || isVisible())) {
            setVisible(true);
            fade_.start();
        } else {
            setVisible(shown);
        }
    }
    update();
}

void RateOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(opacity());
    const ReaderTheme theme = ReaderTheme::of(settings_);
    QColor fill = theme.accent();
    fill.setAlphaF(float(capsuleOpacity));
    QPainterPath capsule;
    const QRectF box(rect());
    capsule.addRoundedRect(box, box.height() / 2, box.height() / 2);
    painter.fillPath(capsule, fill);

    const QFont font = badgeFont();
    const QFontMetricsF metrics(font, painter.device());
    const QString label = text();
    painter.setFont(font);
    painter.setPen(theme.primaryText());
    painter.drawText(QPointF(box.center().x() - metrics.horizontalAdvance(label) / 2,
                             box.center().y() + (metrics.ascent() - metrics.descent()) / 2),
                     label);
}

} // namespace Blinkwit
