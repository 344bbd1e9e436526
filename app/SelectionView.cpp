#include "SelectionView.h"

#include "RegionSelectionController.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace Blinkwit {

namespace {

QColor withOpacity(QColor colour, double opacity) {
    colour.setAlphaF(float(opacity));
    return colour;
}

QFont hintFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(SelectionView::hintFontSize);
    font.setWeight(QFont::Medium);
    return font;
}

} // namespace

QString SelectionView::hintText() {
    return QStringLiteral("Drag to select a region to read · Esc to cancel");
}

SelectionView::SelectionView(RegionSelectionController& controller, QWidget* parent)
    : QWidget(parent)
    , controller_(&controller) {
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(false);
}

void SelectionView::setStill(QPixmap still) {
    still_ = std::move(still);
    update();
}

std::optional<QRectF> SelectionView::selection() const {
    if (!startPoint_ || !currentPoint_)
        return std::nullopt;
    return QRectF(*startPoint_, *currentPoint_).normalized();
}

QRectF SelectionView::hintTextRect() const {
    const QFontMetricsF metrics(hintFont());
    const QSizeF size(metrics.horizontalAdvance(hintText()), metrics.height());
    return QRectF(QPointF(width() / 2.0 - size.width() / 2, hintBottom - size.height()), size);
}

void SelectionView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Without blending the window shows its own pixels only: the still screen is its base.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (still_.isNull())
        painter.fillRect(rect(), Qt::transparent);
    else
        painter.drawPixmap(rect(), still_);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(rect(), withOpacity(Qt::black, dimOpacity));

    const std::optional<QRectF> selected = selection();
    if (!selected)
        return paintHint(painter);
    painter.save();
    painter.setClipRect(*selected);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (still_.isNull())
        painter.fillRect(*selected, Qt::transparent);
    else
        painter.drawPixmap(rect(), still_);
    painter.restore();
    painter.setPen(QPen(withOpacity(Qt::white, outlineOpacity), outlineWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(
        selected->adjusted(-outlineGrowth, -outlineGrowth, outlineGrowth, outlineGrowth));
}

void SelectionView::paintHint(QPainter& painter) const {
    const QRectF text = hintTextRect();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withOpacity(Qt::black, hintBackgroundOpacity));
    painter.drawRoundedRect(text.adjusted(-hintPaddingX, -hintPaddingY, hintPaddingX, hintPaddingY),
                            hintCornerRadius, hintCornerRadius);
    painter.setFont(hintFont());
    painter.setPen(withOpacity(Qt::white, hintOpacity));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, hintText());
}

void SelectionView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    startPoint_ = event->position();
    currentPoint_ = event->position();
    update();
}

void SelectionView::mouseMoveEvent(QMouseEvent* event) {
    if (!startPoint_)
        return;
    currentPoint_ = event->position();
    update();
}

void SelectionView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    currentPoint_ = event->position();
    const std::optional<QRectF> selected = selection();
    if (!controller_)
        return;
    if (!selected)
        return controller_->finish(std::nullopt);
    controller_->finish(QRectF(mapToGlobal(selected->topLeft()), selected->size()));
}

void SelectionView::keyPressEvent(QKeyEvent* event) {
    // Every key is taken: none may reach another window while the overlay is up.
    event->accept();
    if (event->key() == Qt::Key_Escape && controller_)
        controller_->finish(std::nullopt);
}

} // namespace Blinkwit
