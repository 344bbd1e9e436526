#include "X11WindowHints.h"

#include <QEvent>
#include <QGuiApplication>
#include <QRegion>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <vector>
#include <xcb/xcb.h>

namespace Blinkwit {

namespace {

constexpr std::uint32_t allDesktops = 0xFFFFFFFF;
constexpr std::uint32_t netWmStateRemove = 0;
constexpr std::uint32_t netWmStateAdd = 1;
constexpr std::uint32_t sourcePager = 2;

xcb_connection_t* connection() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* app = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return app ? app->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

xcb_window_t rootOf(xcb_connection_t* c, xcb_window_t window) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr);
    const xcb_window_t root = tree ? tree->root : xcb_window_t(XCB_WINDOW_NONE);
    std::free(tree);
    return root;
}

// A client message to the window manager about a mapped window.
void sendToWindowManager(xcb_connection_t* c, xcb_window_t id, xcb_atom_t type,
                         std::initializer_list<std::uint32_t> data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    const xcb_window_t root = rootOf(c, id);
    if (root != XCB_WINDOW_NONE)
        xcb_send_event(c, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
}

std::vector<xcb_atom_t> atomList(xcb_connection_t* c, xcb_window_t id, xcb_atom_t property) {
    const auto cookie = xcb_get_property(c, 0, id, property, XCB_ATOM_ATOM, 0, 1024);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, nullptr);
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto* data = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply));
        atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return atoms;
}

void requestActivation(xcb_connection_t* c, xcb_window_t id) {
    sendToWindowManager(c, id, atom(c, "_NET_ACTIVE_WINDOW"), {sourcePager, XCB_CURRENT_TIME});
    xcb_flush(c);
}

const QString pendingActivation = QStringLiteral("blinkwit-pending-activation");

// Sends the request when the window is first exposed after being mapped, then goes.
class ActivateWhenExposed final : public QObject {
public:
    explicit ActivateWhenExposed(QWindow* window)
        : QObject(window) {
        setObjectName(pendingActivation);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWindow*>(watched);
        if (event->type() == QEvent::Expose && window->isExposed()) {
            window->removeEventFilter(this);
            if (xcb_connection_t* c = connection())
                requestActivation(c, xcb_window_t(window->winId()));
            // Out of the window's children at once: a show before the deletion asks anew.
            setParent(nullptr);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void X11WindowHints::activate(QWindow* window) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return;
    if (window->isExposed())
        requestActivation(c, xcb_window_t(window->winId()));
    else if (!window->findChild<QObject*>(pendingActivation, Qt::FindDirectChildrenOnly))
        new ActivateWhenExposed(window);
}

bool X11WindowHints::leftButtonHeld() {
    xcb_connection_t* c = connection();
    if (!c)
        return true;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_query_pointer_reply_t* pointer =
        xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr);
    const bool held = !pointer || (pointer->mask & XCB_BUTTON_MASK_1);
    std::free(pointer);
    return held;
}

void X11WindowHints::setSkipTaskbar(QWindow* window, bool skip) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return;
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    const xcb_atom_t skipPager = atom(c, "_NET_WM_STATE_SKIP_PAGER");
    if (window->isVisible()) {
        // The window manager owns the state of a mapped window.
        sendToWindowManager(c, id, state,
                            {skip ? netWmStateAdd : netWmStateRemove, skipTaskbar, skipPager, 1});
    } else {
        // Read when the window is mapped; Qt merges its own states into what it finds here.
        std::vector<xcb_atom_t> atoms = atomList(c, id, state);
        std::erase_if(atoms, [&](xcb_atom_t a) { return a == skipTaskbar || a == skipPager; });
        if (skip)
            atoms.insert(atoms.end(), {skipTaskbar, skipPager});
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
                            std::uint32_t(atoms.size()), atoms.data());
    }
    xcb_flush(c);
}

void X11WindowHints::showOnAllDesktops(QWindow* window) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return;
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t desktop = atom(c, "_NET_WM_DESKTOP");
    // Read by the window manager when the window is mapped...
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1,
                        &allDesktops);
    // ...and asked for explicitly while it is mapped (1: sent by an application).
    sendToWindowManager(c, id, desktop, {allDesktops, 1});
    xcb_flush(c);
}

void X11WindowHints::setBlurBehind(QWindow* window, const QRegion* region) {
    xcb_connection_t* c = connection();
    if (!c || !window)
        return;
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t blur = atom(c, "_KDE_NET_WM_BLUR_BEHIND_REGION");
    if (!region) {
        xcb_delete_property(c, id, blur);
        xcb_flush(c);
        return;
    }
    const double scale = window->devicePixelRatio();
    std::vector<std::uint32_t> rects;
    for (const QRect& r : *region) {
        rects.push_back(std::uint32_t(r.x() * scale));
        rects.push_back(std::uint32_t(r.y() * scale));
        rects.push_back(std::uint32_t(r.width() * scale));
        rects.push_back(std::uint32_t(r.height() * scale));
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, blur, XCB_ATOM_CARDINAL, 32,
                        std::uint32_t(rects.size()), rects.data());
    xcb_flush(c);
}

} // namespace Blinkwit
