#include "RegionSelectionController.h"

#include "OverlayWindow.h"
#include "platform/QtScheduler.h"
#include "reader/CompositorWatcher.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

namespace Blinkwit {

RegionSelectionController::RegionSelectionController(Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , scheduler_(scheduler) {}

RegionSelectionController::~RegionSelectionController() {
    for (OverlayWindow* window : windows_)
        delete window;
}

RegionSelectionController& RegionSelectionController::shared() {
    // Lives until exit, like the program's other shared objects.
    static auto* instance = new RegionSelectionController(*new QtScheduler);
    return *instance;
}

void RegionSelectionController::watchDesktop() {
    if (compositor_)
        return;
    compositor_ = std::make_unique<CompositorWatcher>();
    connect(compositor_.get(), &CompositorWatcher::compositingChanged, this,
            &RegionSelectionController::setCompositing);
    connect(qGuiApp, &QGuiApplication::screenAdded, this,
            &RegionSelectionController::cancelForNewDisplays);
    connect(qGuiApp, &QGuiApplication::screenRemoved, this,
            &RegionSelectionController::cancelForNewDisplays);
}

void RegionSelectionController::begin(Completion completion) {
    if (selecting())
        return;
    completion_ = std::move(completion);
    watchDesktop();
    ++selection_;
    for (QScreen* screen : QGuiApplication::screens())
        windows_.push_back(new OverlayWindow(*screen, *this));
    if (windows_.empty())
        return finish(std::nullopt);
    showOverlays();
}

void RegionSelectionController::showOverlays() {
    // The keyboard goes to the display the pointer is on.
    const QScreen* pointed = QGuiApplication::screenAt(QCursor::pos());
    if (!pointed)
        pointed = windows_.front()->displayScreen();
    for (OverlayWindow* window : windows_) {
        window->showStill(compositor_->compositing());
        window->present(window->displayScreen() == pointed);
    }
}

void RegionSelectionController::finish(std::optional<QRectF> rect) {
    // The windows go at once; the one whose event handler called this is deleted afterwards.
    for (OverlayWindow* window : windows_) {
        window->hide();
        window->deleteLater();
    }
    windows_.clear();
    Completion completion = std::move(completion_);
    completion_ = nullptr;
    if (!completion)
        return;
    if (!rect || rect->width() <= minimumSize || rect->height() <= minimumSize)
        return completion(std::nullopt);
    completion(rect);
}

void RegionSelectionController::setCompositing(bool compositing) {
    if (!selecting())
        return;
    if (compositing) {
        for (OverlayWindow* window : windows_)
            window->showStill(true);
        return;
    }
    // The stills must show the displays, not the overlays that cover them now.
    for (OverlayWindow* window : windows_)
        window->hide();
    scheduler_.scheduleAfter(repaintDelay, [self = QPointer(this), selection = selection_] {
        if (self && self->selection_ == selection && self->selecting())
            self->showOverlays();
    });
}

void RegionSelectionController::cancelForNewDisplays() {
    if (selecting())
        finish(std::nullopt);
}

} // namespace Blinkwit
