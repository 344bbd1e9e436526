#include "ReaderView.h"

#include "CodeExpandView.h"
#include "CountdownView.h"
#include "EmptyStateView.h"
#include "FinishedView.h"
#include "FooterView.h"
#include "PreparingView.h"
#include "RateOverlay.h"
#include "ReaderEngine.h"
#include "ReaderTheme.h"
#include "WordStageView.h"
#include "settings/AppSettings.h"

#include <QPainter>
#include <QPainterPath>

namespace Blinkwit {

namespace {

// top laid over bottom, both with alpha.
QColor over(const QColor& top, const QColor& bottom) {
    const float ta = top.alphaF();
    const float ba = bottom.alphaF() * (1 - ta);
    const float a = ta + ba;
    if (a <= 0)
        return Qt::transparent;
    const auto mix = [&](float t, float b) { return (t * ta + b * ba) / a; };
    return QColor::fromRgbF(mix(top.redF(), bottom.redF()), mix(top.greenF(), bottom.greenF()),
                            mix(top.blueF(), bottom.blueF()), a);
}

// A quarter of a disc in the corner of box on the side of (sx, sy), each ±1.
QPainterPath cornerPie(const QRectF& box, double radius, int sx, int sy) {
    const double cx = sx < 0 ? box.left() + radius : box.right() - radius;
    const double cy = sy < 0 ? box.top() + radius : box.bottom() - radius;
    const double start = sx > 0 ? (sy < 0 ? 0 : 270) : (sy < 0 ? 90 : 180);
    QPainterPath pie(QPointF(cx, cy));
    pie.arcTo(QRectF(cx - radius, cy - radius, 2 * radius, 2 * radius), start, 90);
    pie.closeSubpath();
    return pie;
}

// The rounded background with its one-pixel border, on pixels that start out transparent (a
// translucent window's backing store is cleared before each paint). The straight parts are
// copied rather than blended, and only the four small corners are drawn antialiased: blending
// the whole outline costs several times the rest of the frame at double resolution.
void paintRoundedPanel(QPainter& painter, const QRectF& box, double radius, const QColor& fill,
                       const QColor& border) {
    const QColor edge = over(border, fill);
    const double w = box.width() - 2 * radius;
    const double h = box.height() - 2 * radius;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRectF(box.left() + radius, box.top(), w, box.height()), fill);
    painter.fillRect(QRectF(box.left(), box.top() + radius, radius, h), fill);
    painter.fillRect(QRectF(box.right() - radius, box.top() + radius, radius, h), fill);
    painter.fillRect(QRectF(box.left() + radius, box.top(), w, 1), edge);
    painter.fillRect(QRectF(box.left() + radius, box.bottom() - 1, w, 1), edge);
    painter.fillRect(QRectF(box.left(), box.top() + radius, 1, h), edge);
    painter.fillRect(QRectF(box.right() - 1, box.top() + radius, 1, h), edge);
    painter.restore();

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF inner = box.adjusted(0.5, 0.5, -0.5, -0.5);
    const double r = radius - 0.5;
    const int starts[] = {90, 0, 180, 270};
    const QRectF arcs[] = {{inner.left(), inner.top(), 2 * r, 2 * r},
                           {inner.right() - 2 * r, inner.top(), 2 * r, 2 * r},
                           {inner.left(), inner.bottom() - 2 * r, 2 * r, 2 * r},
                           {inner.right() - 2 * r, inner.bottom() - 2 * r, 2 * r, 2 * r}};
    int corner = 0;
    for (const int sy : {-1, 1})
        for (const int sx : {-1, 1}) {
            painter.fillPath(cornerPie(box, radius, sx, sy), fill);
            painter.setPen(QPen(border, 1, Qt::SolidLine, Qt::FlatCap));
            painter.drawArc(arcs[corner], starts[corner] * 16, 90 * 16);
            ++corner;
        }
    painter.restore();
}

} // namespace

ReaderView::ReaderView(ReaderEngine& engine, const AppSettings& settings, QWidget* parent)
    : QWidget(parent)
    , engine_(engine)
    , settings_(settings)
    , stage_(new WordStageView(engine, settings, this))
    , countdown_(new CountdownView(engine, settings, this))
    , empty_(new EmptyStateView(settings, this))
    , finished_(new FinishedView(engine, settings, this))
    , preparing_(new PreparingView(settings, this))
    , code_(new CodeExpandView(settings, this))
    , footer_(new FooterView(engine, settings, this))
    , overlay_(new RateOverlay(engine, settings, this)) {
    setAttribute(Qt::WA_TranslucentBackground);
    const auto refresher = [this] { refresh(); };
    connect(&engine, &ReaderEngine::phaseChanged, this, refresher);
    connect(&engine, &ReaderEngine::indexChanged, this, refresher);
    connect(&engine, &ReaderEngine::wpmChanged, this, refresher);
    connect(&engine, &ReaderEngine::wpmOverlayVisibleChanged, this, refresher);
    connect(&engine, &ReaderEngine::expandedCodeVisibleChanged, this, refresher);
    connect(&engine, &ReaderEngine::tokensChanged, this, refresher);
    connect(&settings, &AppSettings::changed, this, [this] {
        code_->refreshColours();
        refresh();
    });
    refresh();
}

void ReaderView::setBackdrop(Backdrop backdrop) {
    backdrop_ = backdrop;
    update();
}

void ReaderView::setAnimated(bool animated) {
    countdown_->setAnimated(animated);
    overlay_->setAnimated(animated);
}

QWidget* ReaderView::centreView() const {
    switch (engine_.phase().kind()) {
    case Phase::Case::countdown:
        return countdown_;
    case Phase::Case::empty:
        return empty_;
    case Phase::Case::finished:
        return finished_;
    case Phase::Case::preparing:
        return preparing_;
    case Phase::Case::idle:
    case Phase::Case::reading:
    case Phase::Case::paused:
        break;
    }
    return stage_;
}

std::array<QWidget*, 5> ReaderView::centreViews() const {
    return {stage_, countdown_, empty_, finished_, preparing_};
}

bool ReaderView::showsCode() const {
    const BlinkwitCore::Token* token = engine_.current();
    return engine_.expandedCodeVisible() && token && token->codeContent.has_value();
}

void ReaderView::refresh() {
    QWidget* centre = centreView();
    for (QWidget* view : centreViews())
        view->setVisible(view == centre);
    countdown_->refresh();
    const bool code = showsCode();
    if (code)
        code_->setCode(QString::fromStdString(*engine_.current()->codeContent));
    code_->setVisible(code);
    overlay_->refresh();
    layOut();
    update();
}

void ReaderView::resizeEvent(QResizeEvent*) {
    layOut();
}

void ReaderView::layOut() {
    const int footerHeight = FooterView::nominalHeight();
    const int codeBlock = showsCode() ? codeHeight + codeBottomPadding : 0;
    const int centreHeight = std::max(0, height() - footerHeight - codeBlock);
    for (QWidget* view : centreViews())
        view->setGeometry(0, 0, width(), centreHeight);
    code_->setGeometry(codeSidePadding, centreHeight, width() - 2 * codeSidePadding, codeHeight);
    const int overhang = FooterView::overhang();
    footer_->setGeometry(0, height() - footerHeight - overhang, width(), footerHeight + overhang);
    const QSize badge = overlay_->badgeSize();
    overlay_->setGeometry((width() - badge.width()) / 2, RateOverlay::topOffset, badge.width(),
                          badge.height());
    footer_->raise();
    overlay_->raise();
}

QPainterPath ReaderView::shape(const QSizeF& size) {
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), cornerRadius, cornerRadius);
    return path;
}

void ReaderView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const ReaderTheme theme = ReaderTheme::of(settings_);
    const QRectF box(rect());
    if (backdrop_ == Backdrop::opaque) {
        // The window's shape mask cuts the corners; the border still follows the rounding.
        painter.fillRect(box, theme.background(Backdrop::opaque));
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath inner;
        inner.addRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5,
                             cornerRadius - 0.5);
        painter.strokePath(inner, QPen(theme.border(), 1));
        return;
    }
    paintRoundedPanel(painter, box, cornerRadius, theme.background(backdrop_), theme.border());
}

} // namespace Blinkwit
