#include "CodeExpandView.h"

#include "ReaderFont.h"
#include "ReaderTheme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <cmath>

namespace Blinkwit {

namespace {

constexpr int hintBottom = 6;

QFont hintFont() {
    return ReaderFont::system(10);
}

} // namespace

CodeExpandView::CodeExpandView(const AppSettings& settings, QWidget* parent)
    : QWidget(parent)
    , settings_(settings)
    , text_(new QPlainTextEdit(this)) {
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFrameShape(QFrame::NoFrame);
    text_->setFont(ReaderFont::monospaced(12));
    text_->document()->setDocumentMargin(padding);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text_->viewport()->setAutoFillBackground(false);
    text_->setAutoFillBackground(false);
    text_->setFocusPolicy(Qt::ClickFocus);
    refreshColours();
}

void CodeExpandView::setCode(const QString& code) {
    if (text_->toPlainText() != code)
        text_->setPlainText(code);
}

QString CodeExpandView::code() const {
    return text_->toPlainText();
}

QString CodeExpandView::hintText() {
    return QStringLiteral("Enter or Esc to collapse and resume");
}

void CodeExpandView::refreshColours() {
    QColor textColour = ReaderTheme::of(settings_).primaryText();
    textColour.setAlphaF(float(textOpacity));
    QPalette palette = text_->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, textColour);
    text_->setPalette(palette);
    // Thin indicators in the text colour rather than the desktop's opaque scroll bars.
    const QColor handle =
        ReaderTheme::of(settings_).dark() ? QColor(255, 255, 255, 70) : QColor(0, 0, 0, 70);
    text_->setStyleSheet(
        QStringLiteral("QScrollBar { background: transparent; margin: 2px; }"
                       "QScrollBar:vertical { width: 10px; }"
                       "QScrollBar:horizontal { height: 10px; }"
                       "QScrollBar::handle { background: %1; border-radius: 3px;"
                       " min-width: 24px; min-height: 24px; }"
                       "QScrollBar::add-line, QScrollBar::sub-line { width: 0; height: 0; }"
                       "QScrollBar::add-page, QScrollBar::sub-page { background: transparent; }"
                       "QAbstractScrollArea::corner { background: transparent; }")
            .arg(handle.name(QColor::HexArgb)));
    update();
}

int CodeExpandView::hintRowHeight() {
    return int(std::ceil(QFontMetricsF(hintFont()).height())) + hintBottom;
}

void CodeExpandView::resizeEvent(QResizeEvent*) {
    text_->setGeometry(0, 0, width(), std::max(0, height() - hintRowHeight()));
}

void CodeExpandView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ReaderTheme theme = ReaderTheme::of(settings_);
    QPainterPath box;
    box.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(box, theme.codeBackground());

    const QFont font = hintFont();
    const QFontMetricsF metrics(font, painter.device());
    const QString hint = hintText();
    painter.setFont(font);
    painter.setPen(theme.tertiaryText());
    painter.drawText(QPointF(width() - padding - metrics.horizontalAdvance(hint),
                             height() - hintBottom - metrics.descent()),
                     hint);
}

} // namespace Blinkwit
