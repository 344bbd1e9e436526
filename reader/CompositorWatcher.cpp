#include "CompositorWatcher.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <algorithm>
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
    blur_ = internAtom(app->connection(), "_KDE_NET_WM_BLUR_BEHIND_REGION");
    root_ = unsigned(RootWindow(display, screen));
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
    blurAvailable_ = queryBlur();
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

bool CompositorWatcher::queryBlur() const {
    QNativeInterface::QX11Application* app = x11();
    if (!app || !compositing_ || blur_ == XCB_ATOM_NONE)
        return false;
    xcb_connection_t* connection = app->connection();
    xcb_list_properties_reply_t* reply =
        xcb_list_properties_reply(connection, xcb_list_properties(connection, root_), nullptr);
    if (!reply)
        return false;
    const xcb_atom_t* atoms = xcb_list_properties_atoms(reply);
    const xcb_atom_t* end = atoms + xcb_list_properties_atoms_length(reply);
    const bool announced = std::find(atoms, end, blur_) != end;
    std::free(reply);
    return announced;
}

void CompositorWatcher::recheck() {
    const bool compositing = queryOwner();
    if (compositing != compositing_) {
        compositing_ = compositing;
        emit compositingChanged(compositing);
    }
    const bool blur = queryBlur();
    if (blur != blurAvailable_) {
        blurAvailable_ = blur;
        emit blurAvailableChanged(blur);
    }
}

bool CompositorWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!x11_ || xfixesEventBase_ < 0 || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const int type = event->response_type & 0x7f;
    // Also seen for the clipboard's selections; asking the owner again costs one round trip.
    bool relevant = type == xfixesEventBase_ + XFixesSelectionNotify;
    if (type == XCB_PROPERTY_NOTIFY) {
        const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
        relevant = change->window == root_ && change->atom == blur_;
    }
    if (relevant)
        QMetaObject::invokeMethod(this, &CompositorWatcher::recheck, Qt::QueuedConnection);
    return false;
}

} // namespace Blinkwit
