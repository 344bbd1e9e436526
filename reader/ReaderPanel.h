#pragma once

#include <QPoint>
#include <QWidget>
#include <optional>

namespace Blinkwit {

class AppSettings;
class ReaderEngine;
class ReaderView;

// The floating reader window: frameless, above other windows, on every workspace, translucent
// where the window system can blend and opaque with cut corners where it cannot. Dragging its
// background moves it.
class ReaderPanel final : public QWidget {
    Q_OBJECT
public:
    ReaderPanel(ReaderEngine& engine, const AppSettings& settings);

    ReaderView* view() const { return view_; }

    // Translucent (compositing), or opaque cut to its rounded shape.
    void setCompositing(bool compositing);
    bool compositing() const { return compositing_; }
    // Whether the compositor blurs what lies behind the panel; the tint follows.
    void setBlurAvailable(bool available);

signals:
    // The frame moved or changed size.
    void frameChanged();
    // The window manager asked to close the panel (it stays, hidden by its owner).
    void closeRequested();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyShape();
    void applyBackdrop();

    ReaderView* view_;
    bool compositing_ = true;
    bool blurAvailable_ = false;
    // Where the pointer grabbed the panel, while the panel moves it itself (no window manager).
    std::optional<QPoint> dragOffset_;
};

} // namespace Blinkwit
