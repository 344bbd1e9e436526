#include "CompositorWatcher.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <cstdlib>
#include <string>
#include <xcb/xcb.h>

namespace Blinkwit {

namespace {

QNativeInterface::QX11Application* x11() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app && app->connection() && app->display() ? app : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t* connection, const std::string& name) {
    const auto cookie = xcb_intern_atom(connection, 0, uint16_t(name.size()), name.c_str());
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

CompositorWatcher::CompositorWatcher(QObject* parent)
    : QObject(parent) {
    QNativeInterface::QX11Application* app = x11();
    if (!app)
        return;
    Display* display = app->display();
    const int screen = DefaultScreen(display);
    selection_ = internAtom(app->connection(), "_NET_WM_CM_S" + std::to_string(screen));
    x11_ = selection_ != XCB_ATOM_NONE;
    if (!x11_)
        return;
    int errorBase = 0;
    if (XFixesQueryExtension(display, &xfixesEventBase_, &errorBase)) {
        XFixesSelectSelectionInput(display, RootWindow(display, screen), Atom(selection_),
                                   XFixesSetSelectionOwnerNotifyMask |
                                       XFixesSelectionWindowDestroyNotifyMask |
                                       XFixesSelectionClientCloseNotifyMask);
        XFlush(display);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    compositing_ = queryOwner();
}

CompositorWatcher::~CompositorWatcher() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool CompositorWatcher::queryOwner() const {
    QNativeInterface::QX11Application* app = x11();
    if (!app)
        return true;
    xcb_connection_t* connection = app->connection();
    const auto cookie = xcb_get_selection_owner(connection, selection_);
    xcb_get_selection_owner_reply_t* reply =
        xcb_get_selection_owner_reply(connection, cookie, nullptr);
    const bool owned = reply && reply->owner != XCB_WINDOW_NONE;
    std::free(reply);
    return owned;
}

void CompositorWatcher::recheck() {
    const bool now = queryOwner();
    if (now == compositing_)
        return;
    compositing_ = now;
    emit compositingChanged(now);
}

bool CompositorWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!x11_ || xfixesEventBase_ < 0 || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) == xfixesEventBase_ + XFixesSelectionNotify) {
        // Also seen for the clipboard's selections; asking the owner again costs one round trip.
        QMetaObject::invokeMethod(this, &CompositorWatcher::recheck, Qt::QueuedConnection);
    }
    return false;
}

} // namespace Blinkwit
