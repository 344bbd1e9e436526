#include "TaskbarPolicy.h"

#include "reader/X11WindowHints.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace Blinkwit {

namespace {

// Menus and tool tips never appear in a task bar; asking about them only costs a round trip.
bool isListable(const QWidget& widget) {
    const Qt::WindowType type = widget.windowType();
    return widget.isWindow() && type != Qt::Popup && type != Qt::ToolTip &&
           type != Qt::SplashScreen;
}

} // namespace

TaskbarPolicy::TaskbarPolicy(QObject* parent)
    : QObject(parent) {
    qApp->installEventFilter(this);
}

TaskbarPolicy::~TaskbarPolicy() {
    qApp->removeEventFilter(this);
}

void TaskbarPolicy::setActivationPolicy(ActivationPolicy policy) {
    policy_ = policy;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->windowHandle() && isListable(*window))
            apply(*window);
}

bool TaskbarPolicy::eventFilter(QObject* watched, QEvent* event) {
    // Sent before the window is mapped, while its state can still be set directly. A listed
    // window needs nothing: setActivationPolicy() cleared every window, hidden ones included.
    if (policy_ == ActivationPolicy::accessory && event->type() == QEvent::Show &&
        watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (isListable(*widget))
            apply(*widget);
    }
    return false;
}

void TaskbarPolicy::apply(QWidget& window) const {
    X11WindowHints::setSkipTaskbar(window.windowHandle(), policy_ == ActivationPolicy::accessory);
}

} // namespace Blinkwit
