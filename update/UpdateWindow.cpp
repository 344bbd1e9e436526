#include "UpdateWindow.h"

#include "UpdateChecker.h"
#include "UpdateTexts.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace Blinkwit {

namespace {

using Presentation = UpdatePresentation;

constexpr int iconSize = 26;

QIcon symbol(Presentation::Icon icon, const QStyle* style) {
    switch (icon) {
    case Presentation::Icon::available:
        return QIcon::fromTheme(QStringLiteral("software-update-available"),
                                style->standardIcon(QStyle::SP_ArrowDown));
    case Presentation::Icon::upToDate:
        return QIcon::fromTheme(QStringLiteral("emblem-default"),
                                style->standardIcon(QStyle::SP_DialogApplyButton));
    case Presentation::Icon::failed:
        return QIcon::fromTheme(QStringLiteral("dialog-warning"),
                                style->standardIcon(QStyle::SP_MessageBoxWarning));
    case Presentation::Icon::checking:
        break;
    }
    return QIcon::fromTheme(QStringLiteral("view-refresh"),
                            style->standardIcon(QStyle::SP_BrowserReload));
}

// The symbol in one colour, as the state's tint asks.
QPixmap tinted(const QIcon& icon, const QColor& color, qreal ratio) {
    QPixmap pixmap = icon.pixmap(QSize(iconSize, iconSize), ratio);
    QPainter painter(&pixmap);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(pixmap.rect(), color);
    return pixmap;
}

// Type sizes follow the usual desktop scale: the headline and details at the body size, the
// secondary lines a step smaller.
constexpr qreal body = 1.0;
constexpr qreal small = 11.0 / 13.0;

QLabel* label(const QString& text, qreal scale, const QColor& color) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QColor secondary(const QWidget* widget) {
    return widget->palette().color(QPalette::PlaceholderText);
}

QBoxLayout* column(QWidget* parent, int spacing, QBoxLayout::Direction direction) {
    auto* layout = new QBoxLayout(direction, parent);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

} // namespace

UpdateWindow::UpdateWindow(UpdateChecker& checker, const QString& displayString,
                           const QString& installedPath, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
    , checker_(checker)
    , installedPath_(installedPath)
    , icon_(new QLabel)
    , title_(new QLabel) {
    setWindowTitle(QString::fromUtf8(UpdateTexts::windowTitle));
    layout_ = column(this, 14, QBoxLayout::TopToBottom);
    layout_->setContentsMargins(20, 20, 20, 20);
    auto* header = new QWidget;
    auto* headerRow = column(header, 10, QBoxLayout::LeftToRight);
    icon_->setFixedSize(iconSize, iconSize);
    headerRow->addWidget(icon_, 0, Qt::AlignTop);
    auto* lines = column(nullptr, 2, QBoxLayout::TopToBottom);
    QFont headline = title_->font();
    headline.setBold(true);
    title_->setFont(headline);
    lines->addWidget(title_);
    lines->addWidget(
        label(QString::fromUtf8(UpdateTexts::running) + displayString, small, secondary(this)));
    headerRow->addLayout(lines, 1);
    layout_->addWidget(header);
    connect(&checker_, &UpdateChecker::stateChanged, this, &UpdateWindow::present);
    present();
}

void UpdateWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (checker_.state().kind == UpdateState::Kind::idle)
        checker_.check(true);
}

void UpdateWindow::present() {
    const Presentation presentation = Presentation::of(checker_.state(), installedPath_);
    icon_->setPixmap(
        tinted(symbol(presentation.icon, style()),
               presentation.accentIcon ? palette().color(QPalette::Highlight) : secondary(this),
               devicePixelRatioF()));
    title_->setText(presentation.title);
    // Replaced widgets are deleted later: one of them may be the button whose click got us here.
    for (QWidget* old : {detail_, buttons_}) {
        if (!old)
            continue;
        old->hide();
        layout_->removeWidget(old);
        old->deleteLater();
    }
    detail_ = detailView(presentation);
    buttons_ = new QWidget;
    auto* row = column(buttons_, 8, QBoxLayout::LeftToRight);
    row->addStretch(1);
    for (const Presentation::Button& each : presentation.buttons)
        row->addWidget(button(each));
    layout_->insertWidget(1, detail_);
    layout_->insertWidget(2, buttons_);
    detail_->show();
    buttons_->show();
    layout_->activate();
    setFixedSize(fixedWidth, layout_->totalHeightForWidth(fixedWidth));
    // The checker does its checks on this thread right after verifying and readyToRestart are
    // set: paint them now, or they never show.
    if (isVisible() && presentation.detail == Presentation::Detail::busy)
        repaint();
}

QColor UpdateWindow::textColor(Presentation::Detail detail) const {
    switch (detail) {
    case Presentation::Detail::errorText:
        return Qt::red;
    case Presentation::Detail::notes:
    case Presentation::Detail::busy:
        return palette().color(QPalette::WindowText);
    case Presentation::Detail::secondaryText:
    case Presentation::Detail::progress:
        break;
    }
    return secondary(this);
}

QWidget* UpdateWindow::detailView(const Presentation& presentation) {
    using Detail = Presentation::Detail;
    auto* view = new QWidget;
    const Detail detail = presentation.detail;
    auto* layout =
        column(view, detail == Detail::progress ? 6 : 8,
               detail == Detail::busy ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
    if (detail == Detail::progress || detail == Detail::busy) {
        auto* bar = new QProgressBar;
        bar->setTextVisible(false);
        if (detail == Detail::busy) {
            bar->setRange(0, 0);
            bar->setFixedSize(48, 10);
        } else {
            bar->setRange(0, 1000);
            bar->setValue(int(presentation.fraction * 1000.0));
        }
        layout->addWidget(bar, 0, Qt::AlignVCenter);
    }
    layout->addWidget(
        label(presentation.text, detail == Detail::progress ? small : body, textColor(detail)), 1);
    if (detail == Detail::notes)
        layout->addWidget(label(presentation.note, small, secondary(this)));
    return view;
}

QPushButton* UpdateWindow::button(const Presentation::Button& button) {
    auto* push = new QPushButton(button.text);
    push->setAutoDefault(false);
    push->setDefault(button.isDefault);
    const BuildManifest manifest = checker_.state().manifest;
    connect(push, &QPushButton::clicked, this, [this, action = button.action, manifest] {
        switch (action) {
        case Presentation::Action::close:
            close();
            break;
        case Presentation::Action::install:
            checker_.install(manifest);
            break;
        case Presentation::Action::checkAgain:
            QTimer::singleShot(0, &checker_, [this] { checker_.check(true); });
            break;
        }
    });
    return push;
}

} // namespace Blinkwit
