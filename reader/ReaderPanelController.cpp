#include "ReaderPanelController.h"

#include "CompositorWatcher.h"
#include "PanelPlacement.h"
#include "ReaderEngine.h"
#include "ReaderPanel.h"
#include "settings/AppSettings.h"
#include "settings/DefaultsStore.h"

#include <QKeyEvent>
#include <QPointer>
#include <QWindow>

namespace Blinkwit {

// Sees the panel window's key presses before any of its widgets does.
class ReaderPanelController::KeyMonitor final : public QObject {
public:
    explicit KeyMonitor(ReaderPanelController& controller)
        : controller_(&controller) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !controller_ || !controller_->panel())
            return false;
        if (watched != controller_->panel()->windowHandle())
            return false;
        return controller_->handleKey(*static_cast<QKeyEvent*>(event));
    }

private:
    QPointer<ReaderPanelController> controller_;
};

ReaderPanelController::ReaderPanelController(ReaderEngine& engine, AppSettings& settings,
                                             QObject* parent)
    : QObject(parent)
    , engine_(engine)
    , settings_(settings)
    , keyMonitor_(std::make_unique<KeyMonitor>(*this)) {
    connect(&engine, &ReaderEngine::expandedCodeVisibleChanged, this,
            &ReaderPanelController::resizeForCode);
}

ReaderPanelController::~ReaderPanelController() {
    removeKeyMonitor();
}

ReaderPanel* ReaderPanelController::ensurePanel() {
    if (panel_)
        return panel_.get();
    panel_ = std::make_unique<ReaderPanel>(engine_, settings_);
    panel_->winId(); // the native window, so that its keys can be watched before it shows
    compositor_ = std::make_unique<CompositorWatcher>();
    panel_->setCompositing(compositor_->compositing());
    panel_->setBlurAvailable(compositor_->blurAvailable());
    connect(compositor_.get(), &CompositorWatcher::compositingChanged, panel_.get(),
            &ReaderPanel::setCompositing);
    connect(compositor_.get(), &CompositorWatcher::blurAvailableChanged, panel_.get(),
            &ReaderPanel::setBlurAvailable);
    connect(panel_.get(), &ReaderPanel::frameChanged, this, &ReaderPanelController::saveOrigin);
    connect(panel_.get(), &ReaderPanel::closeRequested, this, &ReaderPanelController::hide);
    return panel_.get();
}

int ReaderPanelController::panelHeight() const {
    return engine_.expandedCodeVisible() ? PanelPlacement::expandedHeight : PanelPlacement::height;
}

std::optional<QPointF> ReaderPanelController::rememberedOrigin() const {
    return PanelPlacement::originFromStored(settings_.defaults().value(QLatin1String(originKey)));
}

void ReaderPanelController::position(ReaderPanel& panel) {
    panel.setGeometry(PanelPlacement::current().frame(rememberedOrigin(), panelHeight()));
}

void ReaderPanelController::show() {
    ReaderPanel* panel = ensurePanel();
    position(*panel);
    panel->show();
    panel->raise();
    panel->activateWindow();
    installKeyMonitor();
}

void ReaderPanelController::hide() {
    engine_.dismiss();
    removeKeyMonitor();
    if (panel_)
        panel_->hide();
    emit hidden();
}

void ReaderPanelController::installKeyMonitor() {
    if (monitorInstalled_)
        return;
    QWindow* window = ensurePanel()->windowHandle();
    if (!window)
        return;
    window->installEventFilter(keyMonitor_.get());
    monitorInstalled_ = true;
}

void ReaderPanelController::removeKeyMonitor() {
    if (!monitorInstalled_)
        return;
    if (panel_ && panel_->windowHandle())
        panel_->windowHandle()->removeEventFilter(keyMonitor_.get());
    monitorInstalled_ = false;
}

bool ReaderPanelController::handleKey(const QKeyEvent& event) {
    // Only Shift changes what a key does; Control, Alt and Super are ignored.
    const bool shift = event.modifiers().testFlag(Qt::ShiftModifier);
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return engine_.toggleCodeExpansion();
    case Qt::Key_Space:
        engine_.togglePause();
        return true;
    case Qt::Key_Escape:
        if (!engine_.collapseIfExpanded())
            hide();
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int direction = event.key() == Qt::Key_Left ? -1 : 1;
        engine_.jump(shift ? engine_.paragraphStarts() : engine_.sentenceStarts(), direction);
        return true;
    }
    case Qt::Key_Down:
        engine_.changeSpeed(-speedStep);
        return true;
    case Qt::Key_Up:
        engine_.changeSpeed(speedStep);
        return true;
    default:
        return false;
    }
}

void ReaderPanelController::saveOrigin() {
    if (!panel_)
        return;
    const QPointF origin = PanelPlacement::current().coordinates().originOf(panel_->geometry());
    if (rememberedOrigin() == origin)
        return;
    settings_.defaults().setValue(QLatin1String(originKey),
                                  PanelPlacement::storedFromOrigin(origin));
}

void ReaderPanelController::resizeForCode(bool expanded) {
    if (!panel_ || !panel_->isVisible())
        return;
    QRect frame = panel_->geometry();
    const int height = expanded ? PanelPlacement::expandedHeight : PanelPlacement::height;
    if (frame.height() == height)
        return;
    frame.setHeight(height); // the top edge stays where it is
    panel_->setGeometry(frame);
}

} // namespace Blinkwit
