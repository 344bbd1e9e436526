#include "PresetSwatch.h"

#include "AppSettings.h"

#include <QPainter>

namespace Blinkwit {

PresetSwatch::PresetSwatch(ThemePreset preset, QWidget* parent)
    : QAbstractButton(parent)
    , preset_(std::move(preset)) {
    setText(preset_.name);
    setToolTip(preset_.toolTip());
    setAccessibleName(preset_.toolTip());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void PresetSwatch::setActive(bool active) {
    if (active_ == active)
        return;
    active_ = active;
    update();
}

QSize PresetSwatch::sizeHint() const {
    const int disc = swatchSize + 2 * ringReach;
    const QSize name = fontMetrics().size(Qt::TextSingleLine, text());
    return {std::max(disc, name.width() + 2), disc + nameSpacing + name.height()};
}

QRectF PresetSwatch::discRect() const {
    const qreal left = (width() - swatchSize) / 2.0;
    return {left, qreal(ringReach), qreal(swatchSize), qreal(swatchSize)};
}

void PresetSwatch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = discRect();
    QColor outline = palette().color(QPalette::PlaceholderText);
    outline.setAlphaF(0.35f);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(preset_.dark ? Qt::black : Qt::white);
    painter.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(AppSettings::hex(preset_.hex).value_or(QColor(Qt::green)));
    const qreal inset = (swatchSize - dotSize) / 2.0;
    painter.drawEllipse(disc.adjusted(inset, inset, -inset, -inset));
    if (active_ || hasFocus()) {
        QColor ring = palette().color(QPalette::Highlight);
        // Keyboard focus on an inactive preset shows as a fainter ring.
        if (!active_)
            ring.setAlphaF(0.45f);
        painter.setPen(QPen(ring, ringWidth));
        painter.setBrush(Qt::NoBrush);
        const qreal reach = ringReach - ringWidth / 2.0;
        painter.drawEllipse(disc.adjusted(-reach, -reach, reach, reach));
    }
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const QRectF name(0, disc.bottom() + ringReach + nameSpacing, width(),
                      height() - disc.bottom() - ringReach - nameSpacing);
    painter.drawText(name, Qt::AlignHCenter | Qt::AlignTop, text());
}

} // namespace Blinkwit
