#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>
#include <optional>

namespace Blinkwit {

class RegionSelectionController;

// What one display's overlay shows and handles: the screen dimmed, a hint, and the rectangle
// being dragged, cut clear. Reports the finished rectangle (or a cancel) to its controller.
class SelectionView final : public QWidget {
    Q_OBJECT
public:
    static constexpr double dimOpacity = 0.28;
    static constexpr double outlineOpacity = 0.9;
    // The outline is drawn around the selection, half a point outside it.
    static constexpr double outlineGrowth = 0.5;
    static constexpr double outlineWidth = 1.0;
    static constexpr int hintFontSize = 15;
    static constexpr double hintOpacity = 0.9;
    // The hint text's bottom edge, measured from the top of the display.
    static constexpr double hintBottom = 80;
    static constexpr double hintPaddingX = 14;
    static constexpr double hintPaddingY = 8;
    static constexpr double hintCornerRadius = 8;
    static constexpr double hintBackgroundOpacity = 0.55;

    static QString hintText();

    SelectionView(RegionSelectionController& controller, QWidget* parent);

    // The display as it was before the overlay covered it, painted under the dimming where the
    // window system cannot blend; null to show what lies behind.
    void setStill(QPixmap still);
    const QPixmap& still() const { return still_; }

    // The rectangle between the mouse-down and the current point, in this view's coordinates.
    std::optional<QRectF> selection() const;
    // Where the hint and its background are drawn.
    QRectF hintTextRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paintHint(QPainter& painter) const;

    QPointer<RegionSelectionController> controller_;
    std::optional<QPointF> startPoint_;
    std::optional<QPointF> currentPoint_;
    QPixmap still_;
};

} // namespace Blinkwit
