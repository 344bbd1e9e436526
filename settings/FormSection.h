#pragma once

#include <QWidget>

class QFormLayout;
class QLabel;

namespace Blinkwit {

// One group of a grouped form: a heading (optional) over a rounded panel of rows, labels on
// the left and controls on the right.
class FormSection final : public QWidget {
    Q_OBJECT
public:
    explicit FormSection(const QString& title, QWidget* parent = nullptr);

    void addRow(const QString& label, QWidget* field);
    void addRow(const QString& label, QLayout* field);
    // A row across the whole panel.
    void addRow(QWidget* row);
    void addRow(QLayout* row);

private:
    class Panel;

    Panel* panel_;
    QFormLayout* rows_;
};

} // namespace Blinkwit
