#include "PortalCopyCommandSender.h"

#include "PortalConnection.h"
#include "settings/DefaultsStore.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QPointer>
#include <X11/keysym.h>

namespace Blinkwit {

namespace {

constexpr const char* sessionInterface = "org.freedesktop.portal.Session";
constexpr uint keyboard = 1;
constexpr uint persistUntilRevoked = 2;

} // namespace

PortalCopyCommandSender::PortalCopyCommandSender(PortalConnection& portal, DefaultsStore& store,
                                                 std::function<bool()> hotKeyHeld,
                                                 TimeLimits limits, QObject* parent)
    : QObject(parent)
    , portal_(portal)
    , store_(store)
    , hotKeyHeld_(std::move(hotKeyHeld))
    , limits_(limits)
    , wait_(portal.scheduler()) {}

PortalCopyCommandSender::~PortalCopyCommandSender() {
    closeSession();
}

void PortalCopyCommandSender::postCommandC(std::function<void()> posted) {
    waiting_.push_back(std::move(posted));
    if (waiting_.size() > 1)
        return; // a copy on its way takes this one along
    releaseDeadline_ = portal_.scheduler().now() + limits_.release;
    if (session_ == Session::started)
        waitForRelease();
    else if (session_ == Session::none)
        startSession();
}

void PortalCopyCommandSender::startSession() {
    session_ = Session::starting;
    const QVariantMap options{{QStringLiteral("session_handle_token"), portal_.newToken()}};
    PortalRequest::send(
        portal_, QLatin1String(interface), QStringLiteral("CreateSession"), {}, options,
        limits_.call,
        [this](const PortalRequest::Result& result) {
            if (!succeeded(result))
                return;
            sessionPath_ =
                PortalRequest::path(result.results.value(QStringLiteral("session_handle")));
            portal_.bus().connect(QLatin1String(PortalConnection::service), sessionPath_,
                                  QLatin1String(sessionInterface), QStringLiteral("Closed"), this,
                                  SLOT(onClosed(QVariantMap)));
            selectDevices();
        },
        this);
}

void PortalCopyCommandSender::selectDevices() {
    QVariantMap options{{QStringLiteral("types"), keyboard},
                        {QStringLiteral("persist_mode"), persistUntilRevoked}};
    const QString token = store_.value(QLatin1String(restoreTokenKey)).toString();
    if (!token.isEmpty())
        options.insert(QStringLiteral("restore_token"), token);
    PortalRequest::send(
        portal_, QLatin1String(interface), QStringLiteral("SelectDevices"),
        {QVariant::fromValue(QDBusObjectPath(sessionPath_))}, options, limits_.call,
        [this](const PortalRequest::Result& result) {
            if (succeeded(result))
                startDevices();
        },
        this);
}

void PortalCopyCommandSender::startDevices() {
    PortalRequest::send(
        portal_, QLatin1String(interface), QStringLiteral("Start"),
        {QVariant::fromValue(QDBusObjectPath(sessionPath_)), QString()}, {}, limits_.consent,
        [this](const PortalRequest::Result& result) { started(result); }, this);
}

void PortalCopyCommandSender::started(const PortalRequest::Result& result) {
    if (!succeeded(result))
        return;
    const QString token = result.results.value(QStringLiteral("restore_token")).toString();
    if (!token.isEmpty())
        store_.setValue(QLatin1String(restoreTokenKey), token);
    // Granted without the keyboard: as good as refused.
    if (!(result.results.value(QStringLiteral("devices")).toUInt() & keyboard)) {
        closeSession();
        release();
        return;
    }
    session_ = Session::started;
    waitForRelease();
}

// A refused step ends the attempt; the next copy starts over.
bool PortalCopyCommandSender::succeeded(const PortalRequest::Result& result) {
    if (result.outcome == PortalRequest::Outcome::success)
        return true;
    closeSession();
    release();
    return false;
}

void PortalCopyCommandSender::waitForRelease() {
    if (hotKeyHeld_ && hotKeyHeld_() && portal_.scheduler().now() < releaseDeadline_) {
        wait_.startAfter(limits_.poll, [this] { waitForRelease(); });
        return;
    }
    sendKeys();
}

void PortalCopyCommandSender::sendKeys() {
    const QVariant session = QVariant::fromValue(QDBusObjectPath(sessionPath_));
    const std::pair<int, uint> strokes[] = {
        {XK_Control_L, 1}, {XK_c, 1}, {XK_c, 0}, {XK_Control_L, 0}};
    for (const auto& [keysym, state] : strokes) {
        const bool last = keysym == XK_Control_L && state == 0;
        // One connection delivers calls in order: the last reply means all keys went out.
        portal_.call(QLatin1String(interface), QStringLiteral("NotifyKeyboardKeysym"),
                     {session, QVariantMap(), keysym, state},
                     last ? PortalConnection::Reply([self = QPointer(this)](const QDBusMessage&) {
                         if (self)
                             self->release();
                     })
                          : nullptr);
    }
}

void PortalCopyCommandSender::release() {
    const auto callbacks = std::move(waiting_);
    waiting_.clear();
    for (const auto& posted : callbacks)
        posted();
}

void PortalCopyCommandSender::onClosed(const QVariantMap&) {
    forgetSession();
}

// Ends a session of ours that the desktop still keeps.
void PortalCopyCommandSender::closeSession() {
    if (!sessionPath_.isEmpty())
        portal_.callAt(sessionPath_, QLatin1String(sessionInterface), QStringLiteral("Close"), {},
                       nullptr);
    forgetSession();
}

void PortalCopyCommandSender::forgetSession() {
    if (!sessionPath_.isEmpty())
        portal_.bus().disconnect(QLatin1String(PortalConnection::service), sessionPath_,
                                 QLatin1String(sessionInterface), QStringLiteral("Closed"), this,
                                 SLOT(onClosed(QVariantMap)));
    sessionPath_.clear();
    session_ = Session::none;
}

} // namespace Blinkwit
