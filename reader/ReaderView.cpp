#include "ReaderView.h"

#include "CodeExpandView.h"
#include "CountdownView.h"
#include "EmptyStateView.h"
#include "FinishedView.h"
#include "FooterView.h"
#include "RateOverlay.h"
#include "ReaderEngine.h"
#include "ReaderTheme.h"
#include "WordStageView.h"
#include "settings/AppSettings.h"

#include <QPainter>
#include <QPainterPath>

namespace Blinkwit {

ReaderView::ReaderView(ReaderEngine& engine, const AppSettings& settings, QWidget* parent)
    : QWidget(parent)
    , engine_(engine)
    , settings_(settings)
    , stage_(new WordStageView(engine, settings, this))
    , countdown_(new CountdownView(engine, settings, this))
    , empty_(new EmptyStateView(settings, this))
    , finished_(new FinishedView(engine, settings, this))
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

void ReaderView::setOpaqueBackground(bool opaque) {
    opaque_ = opaque;
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
    case Phase::Case::idle:
    case Phase::Case::reading:
    case Phase::Case::paused:
        break;
    }
    return stage_;
}

bool ReaderView::showsCode() const {
    const BlinkwitCore::Token* token = engine_.current();
    return engine_.expandedCodeVisible() && token && token->codeContent.has_value();
}

void ReaderView::refresh() {
    QWidget* centre = centreView();
    for (QWidget* view : {static_cast<QWidget*>(stage_), static_cast<QWidget*>(countdown_),
                          static_cast<QWidget*>(empty_), static_cast<QWidget*>(finished_)})
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
    for (QWidget* view : {static_cast<QWidget*>(stage_), static_cast<QWidget*>(countdown_),
                          static_cast<QWidget*>(empty_), static_cast<QWidget*>(finished_)})
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
    painter.setRenderHint(QPainter::Antialiasing);
    const ReaderTheme theme = ReaderTheme::of(settings_);
    if (opaque_)
        painter.fillRect(rect(), theme.opaqueBackground());
    else
        painter.fillPath(shape(size()), theme.tint());
    // A one-pixel line just inside the outline.
    QPainterPath inner;
    inner.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5,
                         cornerRadius - 0.5);
    painter.strokePath(inner, QPen(theme.border(), 1));
}

} // namespace Blinkwit
