#include "FormSection.h"

#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace Blinkwit {

// The rounded panel behind the rows, in the palette's colours so that it follows light and
// dark desktops.
class FormSection::Panel final : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QColor border = palette().color(QPalette::WindowText);
        border.setAlphaF(0.12f);
        painter.setPen(QPen(border, 1));
        painter.setBrush(palette().color(QPalette::Base));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    }
};

FormSection::FormSection(const QString& title, QWidget* parent)
    : QWidget(parent)
    , panel_(new Panel)
    , rows_(new QFormLayout(panel_)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    if (!title.isEmpty()) {
        auto* heading = new QLabel(title);
        QFont font = heading->font();
        font.setBold(true);
        heading->setFont(font);
        heading->setContentsMargins(4, 0, 0, 0);
        layout->addWidget(heading);
    }
    rows_->setContentsMargins(12, 8, 12, 8);
    rows_->setHorizontalSpacing(12);
    rows_->setVerticalSpacing(8);
    rows_->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    rows_->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    rows_->setRowWrapPolicy(QFormLayout::DontWrapRows);
    layout->addWidget(panel_);
}

void FormSection::addRow(const QString& label, QWidget* field) {
    rows_->addRow(label, field);
}

void FormSection::addRow(const QString& label, QLayout* field) {
    rows_->addRow(label, field);
}

void FormSection::addRow(QWidget* row) {
    rows_->addRow(row);
}

void FormSection::addRow(QLayout* row) {
    rows_->addRow(row);
}

} // namespace Blinkwit
