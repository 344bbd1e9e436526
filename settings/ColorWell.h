#pragma once

#include <QAbstractButton>
#include <QColorDialog>
#include <QPointer>

namespace Blinkwit {

// A button showing a colour; pressing it opens the desktop's colour dialog (without opacity)
// on that colour. colorChosen() reports a colour the user confirmed; a cancelled dialog changes
// nothing.
class ColorWell final : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorWell(QWidget* parent = nullptr);

    QColor color() const { return color_; }
    void setColor(const QColor& color);
    // The dialog while it is open.
    QColorDialog* dialog() const { return dialog_; }

    QSize sizeHint() const override;

signals:
    void colorChosen(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void openDialog();

    QColor color_;
    QPointer<QColorDialog> dialog_;
};

} // namespace Blinkwit
