#include "UpdateSettingsRow.h"

#include "SettingsTexts.h"
#include "UpdateRowPresentation.h"
#include "update/UpdateChecker.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Blinkwit {

namespace {

using Action = UpdateRowPresentation::Action;

QLabel* line(const QString& text, qreal scale) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    return label;
}

} // namespace

UpdateSettingsRow::UpdateSettingsRow(UpdateChecker& checker, const QString& displayString,
                                     std::function<void()> showUpdateWindow, QWidget* parent)
    : QWidget(parent)
    , checker_(checker)
    , showUpdateWindow_(std::move(showUpdateWindow))
    // Type sizes follow the usual desktop scale: the version line and the status line a step
    // and two steps below the body size.
    , status_(line(QString(), 11.0 / 13.0))
    , button_(new QPushButton) {
    auto* lines = new QVBoxLayout;
    lines->setSpacing(2);
    lines->addWidget(line(QString::fromUtf8(SettingsTexts::version) + displayString, 12.0 / 13.0));
    lines->addWidget(status_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(lines, 1);
    layout->addWidget(button_, 0, Qt::AlignVCenter);
    button_->setObjectName(QStringLiteral("updateButton"));
    status_->setObjectName(QStringLiteral("updateStatus"));
    connect(button_, &QPushButton::clicked, this, &UpdateSettingsRow::act);
    connect(&checker_, &UpdateChecker::stateChanged, this, &UpdateSettingsRow::present);
    connect(&checker_, &UpdateChecker::lastCheckedChanged, this, &UpdateSettingsRow::present);
    present();
}

bool UpdateSettingsRow::event(QEvent* event) {
    if (event->type() == QEvent::Show ||
        (event->type() == QEvent::ActivationChange && isActiveWindow()))
        present();
    return QWidget::event(event);
}

void UpdateSettingsRow::present() {
    const UpdateRowPresentation row = UpdateRowPresentation::of(
        checker_.state(), checker_.lastChecked(), QDateTime::currentDateTimeUtc());
    status_->setText(row.status);
    status_->setForegroundRole(row.accentStatus ? QPalette::Highlight : QPalette::PlaceholderText);
    button_->setText(row.button);
    button_->setEnabled(row.buttonEnabled());
}

void UpdateSettingsRow::act() {
    const Action action = UpdateRowPresentation::of(checker_.state(), checker_.lastChecked(),
                                                    QDateTime::currentDateTimeUtc())
                              .action;
    if (action == Action::none)
        return;
    if (showUpdateWindow_)
        showUpdateWindow_();
    // Showing the update window may have started a check already.
    if (action == Action::checkNow && !checker_.state().isBusy())
        checker_.check(true);
}

} // namespace Blinkwit
