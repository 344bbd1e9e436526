#pragma once

#include <QColor>
#include <QWidget>
#include <functional>

namespace Blinkwit {

// A thin capsule bar that seeks when the mouse is released over it (after a click or a drag).
// The widget is the bar's hit area: the bar itself, drawn inset by hitMargin on every side, is
// too thin to hit reliably.
class SeekableProgressBar final : public QWidget {
    Q_OBJECT
public:
    struct Inputs {
        std::function<double()> progress;
        std::function<QColor()> accent;
        std::function<QColor()> track;
        std::function<void(double)> onSeek;
    };

    static constexpr int hitMargin = 10;
    static constexpr double minimumFill = 5;
    static constexpr double fillOpacity = 0.9;

    SeekableProgressBar(Inputs inputs, QWidget* parent = nullptr);

    // The bar in this widget's coordinates.
    QRectF barRect() const;
    // The seek fraction for a release at x (this widget's coordinates): 0...1, never NaN.
    double fractionAt(double x) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Inputs inputs_;
};

} // namespace Blinkwit
