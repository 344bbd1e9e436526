#include "X11HotKeyBackend.h"

#include "KeyboardShortcuts/KeyTable.h"
#include "UnavailableHotKeyBackend.h"

#include <QGuiApplication>
#include <X11/keysym.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace Blinkwit {

using KeyboardShortcuts::KeyTable;
using KeyboardShortcuts::Shortcut;

namespace {

constexpr std::uint16_t coreModifierBits = 0xFF;
constexpr std::uint8_t xkbNewKeyboardNotify = 0;
constexpr std::uint8_t xkbMapNotify = 1;

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

std::vector<xcb_keycode_t> keycodesFor(xcb_key_symbols_t* symbols, xcb_keysym_t keysym) {
    std::vector<xcb_keycode_t> result;
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    for (xcb_keycode_t* code = codes; code && *code != XCB_NO_SYMBOL; ++code)
        if (std::find(result.begin(), result.end(), *code) == result.end())
            result.push_back(*code);
    std::free(codes);
    return result;
}

std::uint8_t firstEventOf(xcb_connection_t* connection, const char* extension) {
    const auto cookie =
        xcb_query_extension(connection, std::uint16_t(strlen(extension)), extension);
    ReplyPointer<xcb_query_extension_reply_t> reply(
        xcb_query_extension_reply(connection, cookie, nullptr), &std::free);
    return reply && reply->present ? reply->first_event : 0;
}

} // namespace

std::unique_ptr<KeyboardShortcuts::HotKeyBackend> X11HotKeyBackend::createForCurrentPlatform() {
    // The offscreen platform offers the X11 interface too, with a null connection.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !x11 || !x11->connection())
        return std::make_unique<UnavailableHotKeyBackend>();
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    return std::make_unique<X11HotKeyBackend>(connection, root);
}

X11HotKeyBackend::X11HotKeyBackend(xcb_connection_t* connection, xcb_window_t root)
    : connection_(connection)
    , root_(root)
    , xkbFirstEvent_(firstEventOf(connection, "XKEYBOARD")) {
    loadKeyboard();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeyBackend::~X11HotKeyBackend() {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    for (auto& [id, grab] : grabs_)
        ungrab(grab);
    xcb_flush(connection_);
    xcb_key_symbols_free(symbols_);
}

int X11HotKeyBackend::registerHotKey(const Shortcut& shortcut, int hotKeyId) {
    Grab entry{shortcut};
    if (!resolve(entry))
        return statusUnmappable;
    if (const int status = grab(entry); status != statusOk)
        return status;
    grabs_[hotKeyId] = entry;
    return statusOk;
}

void X11HotKeyBackend::unregisterHotKey(int hotKeyId) {
    const auto found = grabs_.find(hotKeyId);
    if (found == grabs_.end())
        return;
    ungrab(found->second);
    xcb_flush(connection_);
    grabs_.erase(found);
    std::erase_if(pressed_, [&](const auto& entry) { return entry.second == hotKeyId; });
}

bool X11HotKeyBackend::isTakenElsewhere(const Shortcut& shortcut) {
    // A grab of our own would be replaced by the probe and then lost.
    for (const auto& [id, grab] : grabs_)
        if (grab.held && grab.shortcut == shortcut)
            return false;
    Grab probe{shortcut};
    if (!resolve(probe))
        return false;
    const int status = grab(probe);
    ungrab(probe);
    xcb_flush(connection_);
    return status == XCB_ACCESS;
}

std::optional<int> X11HotKeyBackend::carbonKeyCodeForNativeKey(std::uint32_t nativeScanCode) {
    // The first level of a key that the table knows: keypad digits sit on the second level
    // while NumLock is off.
    for (int column = 0; column < 4; ++column) {
        const xcb_keysym_t keysym =
            xcb_key_symbols_get_keysym(symbols_, xcb_keycode_t(nativeScanCode), column);
        if (keysym == XCB_NO_SYMBOL)
            continue;
        if (const auto code = KeyTable::carbonKeyCodeForKeysym(keysym))
            return code;
    }
    return std::nullopt;
}

bool X11HotKeyBackend::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    switch (event->response_type & ~0x80) {
    case XCB_KEY_PRESS:
        return handleKey(*reinterpret_cast<const xcb_key_press_event_t*>(event), true);
    case XCB_KEY_RELEASE:
        return handleKey(*reinterpret_cast<const xcb_key_release_event_t*>(event), false);
    default:
        // Qt needs keyboard changes too: never consume them.
        if (isKeyboardChange(*event))
            reloadKeyboard();
        return false;
    }
}

bool X11HotKeyBackend::resolve(Grab& grab) const {
    const auto keysym = KeyTable::keysym(grab.shortcut.carbonKeyCode);
    const auto modifiers = KeyTable::xModifierMask(grab.shortcut.carbonModifiers);
    if (!keysym || !modifiers)
        return false;
    grab.keycodes = keycodesFor(symbols_, *keysym);
    grab.modifiers = *modifiers;
    return !grab.keycodes.empty();
}

int X11HotKeyBackend::grab(Grab& grab) {
    std::vector<xcb_void_cookie_t> cookies;
    for (const xcb_keycode_t keycode : grab.keycodes)
        for (const std::uint16_t variant : lockVariants())
            cookies.push_back(xcb_grab_key_checked(connection_, 0, root_, grab.modifiers | variant,
                                                   keycode, XCB_GRAB_MODE_ASYNC,
                                                   XCB_GRAB_MODE_ASYNC));
    int status = statusOk;
    for (const xcb_void_cookie_t cookie : cookies) {
        ReplyPointer<xcb_generic_error_t> error(xcb_request_check(connection_, cookie), &std::free);
        if (error && status == statusOk)
            status = error->error_code;
    }
    grab.held = true;
    if (status != statusOk)
        ungrab(grab);
    return status;
}

void X11HotKeyBackend::ungrab(Grab& grab) {
    ungrab(grab, lockVariants());
}

void X11HotKeyBackend::ungrab(Grab& grab, const std::vector<std::uint16_t>& variants) {
    if (!grab.held)
        return;
    for (const xcb_keycode_t keycode : grab.keycodes)
        for (const std::uint16_t variant : variants)
            xcb_ungrab_key(connection_, keycode, root_, grab.modifiers | variant);
    grab.held = false;
}

std::vector<std::uint16_t> X11HotKeyBackend::lockVariants() const {
    std::vector<std::uint16_t> variants{0};
    for (const std::uint16_t lock :
         {std::uint16_t(XCB_MOD_MASK_LOCK), numLockMask_, scrollLockMask_}) {
        if (lock == 0)
            continue;
        const std::size_t count = variants.size();
        for (std::size_t index = 0; index < count; ++index)
            if (std::find(variants.begin(), variants.end(), variants[index] | lock) ==
                variants.end())
                variants.push_back(variants[index] | lock);
    }
    return variants;
}

std::uint16_t X11HotKeyBackend::lockMasks() const {
    return std::uint16_t(XCB_MOD_MASK_LOCK | numLockMask_ | scrollLockMask_);
}

void X11HotKeyBackend::loadKeyboard() {
    symbols_ = xcb_key_symbols_alloc(connection_);
    numLockMask_ = 0;
    scrollLockMask_ = 0;
    const auto numLock = keycodesFor(symbols_, XK_Num_Lock);
    const auto scrollLock = keycodesFor(symbols_, XK_Scroll_Lock);
    ReplyPointer<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(connection_, xcb_get_modifier_mapping(connection_), nullptr),
        &std::free);
    if (!mapping)
        return;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int slot = 0; slot < perModifier; ++slot) {
            const xcb_keycode_t code = codes[modifier * perModifier + slot];
            if (code == 0)
                continue;
            if (std::find(numLock.begin(), numLock.end(), code) != numLock.end())
                numLockMask_ = std::uint16_t(1 << modifier);
            if (std::find(scrollLock.begin(), scrollLock.end(), code) != scrollLock.end())
                scrollLockMask_ = std::uint16_t(1 << modifier);
        }
    }
}

// Sent for every switch between keyboards too (XTest's included), so only grabs whose key
// codes or lock modifiers really moved are taken again, and presses in flight are kept.
void X11HotKeyBackend::reloadKeyboard() {
    const std::vector<std::uint16_t> oldVariants = lockVariants();
    xcb_key_symbols_free(symbols_);
    loadKeyboard();
    const bool locksMoved = lockVariants() != oldVariants;
    for (auto& [id, grab] : grabs_) {
        Grab moved{grab.shortcut};
        const bool resolved = resolve(moved);
        if (resolved && !locksMoved && moved.keycodes == grab.keycodes)
            continue;
        ungrab(grab, oldVariants);
        grab.keycodes = moved.keycodes;
        if (resolved)
            this->grab(grab);
    }
    xcb_flush(connection_);
}

bool X11HotKeyBackend::handleKey(const xcb_key_press_event_t& event, bool pressed) {
    if (event.event != root_)
        return false;
    if (!pressed) {
        const auto found = pressed_.find(event.detail);
        if (found == pressed_.end())
            return false;
        const int id = found->second;
        pressed_.erase(found);
        deliver(id, false);
        return true;
    }
    if (pressed_.contains(event.detail))
        return true; // Auto-repeat while the hot key is held.
    const std::uint16_t modifiers = event.state & coreModifierBits & ~lockMasks();
    for (const auto& [id, grab] : grabs_) {
        if (!grab.held || grab.modifiers != modifiers ||
            std::find(grab.keycodes.begin(), grab.keycodes.end(), event.detail) ==
                grab.keycodes.end())
            continue;
        pressed_[event.detail] = id;
        deliver(id, true);
        return true;
    }
    return false;
}

bool X11HotKeyBackend::isKeyboardChange(const xcb_generic_event_t& event) const {
    const std::uint8_t type = event.response_type & ~0x80;
    if (type == XCB_MAPPING_NOTIFY)
        return reinterpret_cast<const xcb_mapping_notify_event_t&>(event).request !=
               XCB_MAPPING_POINTER;
    // XKB events share one type; the second byte says which.
    if (xkbFirstEvent_ != 0 && type == xkbFirstEvent_) {
        const std::uint8_t xkbType = event.pad0;
        return xkbType == xkbNewKeyboardNotify || xkbType == xkbMapNotify;
    }
    return false;
}

} // namespace Blinkwit
