#include "PortalGlobalShortcuts.h"

#include "PortalConnection.h"
#include "settings/DefaultsStore.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QPointer>

namespace Blinkwit {

namespace {

using ShortcutList = QList<QPair<QString, QVariantMap>>;

constexpr const char* sessionInterface = "org.freedesktop.portal.Session";

QStringList listedIds(const QVariant& value) {
    QStringList ids;
    if (value.userType() != qMetaTypeId<QDBusArgument>())
        return ids;
    ShortcutList shortcuts;
    value.value<QDBusArgument>() >> shortcuts;
    for (const auto& shortcut : shortcuts)
        ids.append(shortcut.first);
    return ids;
}

} // namespace

PortalGlobalShortcuts::PortalGlobalShortcuts(PortalConnection& portal, DefaultsStore& store,
                                             std::vector<Shortcut> shortcuts, TimeLimits limits,
                                             QObject* parent)
    : QObject(parent)
    , portal_(portal)
    , store_(store)
    , shortcuts_(std::move(shortcuts))
    , limits_(limits)
    , recreate_(portal.scheduler()) {
    qDBusRegisterMetaType<QPair<QString, QVariantMap>>();
    qDBusRegisterMetaType<ShortcutList>();
}

PortalGlobalShortcuts::~PortalGlobalShortcuts() {
    if (!session_.isEmpty())
        portal_.callAt(session_, QLatin1String(sessionInterface), QStringLiteral("Close"), {},
                       nullptr);
}

void PortalGlobalShortcuts::start() {
    setState(State::starting);
    portal_.version(QLatin1String(interface), [self = QPointer(this)](uint version) {
        if (self)
            self->started(version);
    });
}

void PortalGlobalShortcuts::started(uint version) {
    version_ = version;
    if (version == 0)
        return setState(State::unavailable);
    QDBusConnection& bus = portal_.bus();
    bus.connect(QLatin1String(PortalConnection::service),
                QLatin1String(PortalConnection::objectPath), QLatin1String(interface),
                QStringLiteral("Activated"), this,
                SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    bus.connect(QLatin1String(PortalConnection::service),
                QLatin1String(PortalConnection::objectPath), QLatin1String(interface),
                QStringLiteral("Deactivated"), this,
                SLOT(onDeactivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    createSession();
}

void PortalGlobalShortcuts::createSession() {
    QVariantMap options{{QStringLiteral("session_handle_token"), portal_.newToken()}};
    PortalRequest::send(
        portal_, QLatin1String(interface), QStringLiteral("CreateSession"), {}, options,
        limits_.call, [this](const PortalRequest::Result& result) { sessionCreated(result); },
        this);
}

void PortalGlobalShortcuts::sessionCreated(const PortalRequest::Result& result) {
    if (result.outcome != PortalRequest::Outcome::success) {
        // xdg-desktop-portal >= 1.21 refuses sessions to programs without an application id.
        const bool noId = result.error == QLatin1String("org.freedesktop.portal.Error.NotAllowed");
        return setState(noId ? State::needsAppId : State::failed);
    }
    session_ = PortalRequest::path(result.results.value(QStringLiteral("session_handle")));
    boundInSession_ = false;
    watchSession(true);
    list();
}

void PortalGlobalShortcuts::list() {
    PortalRequest::send(
        portal_, QLatin1String(interface), QStringLiteral("ListShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(session_))}, {}, limits_.call,
        [this](const PortalRequest::Result& result) { listed(result); }, this);
}

// Desktops that keep bindings between sessions (KDE, GNOME) list them here; the others bind
// again without asking, once the user has been through the dialog.
void PortalGlobalShortcuts::listed(const PortalRequest::Result& result) {
    if (result.outcome == PortalRequest::Outcome::success &&
        listsAllOf(result.results.value(QStringLiteral("shortcuts")))) {
        store_.setValue(QLatin1String(configuredKey), true);
        return setState(State::bound);
    }
    bind();
}

bool PortalGlobalShortcuts::listsAllOf(const QVariant& shortcuts) const {
    const QStringList ids = listedIds(shortcuts);
    return std::all_of(shortcuts_.begin(), shortcuts_.end(),
                       [&](const Shortcut& shortcut) { return ids.contains(shortcut.id); });
}

void PortalGlobalShortcuts::bind() {
    if (boundInSession_)
        return;
    boundInSession_ = true;
    ShortcutList list;
    for (const Shortcut& shortcut : shortcuts_) {
        QVariantMap options{{QStringLiteral("description"), shortcut.description}};
        if (!shortcut.preferredTrigger.isEmpty())
            options.insert(QStringLiteral("preferred_trigger"), shortcut.preferredTrigger);
        list.append({shortcut.id, options});
    }
    // A desktop that already knows the bindings answers at once; the first time it asks.
    const double limit = configured() ? limits_.call : limits_.dialog;
    PortalRequest::send(
        portal_, QLatin1String(interface), QStringLiteral("BindShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(session_)), QVariant::fromValue(list), QString()}, {},
        limit, [this](const PortalRequest::Result& result) { bindAnswered(result); }, this);
}

void PortalGlobalShortcuts::bindAnswered(const PortalRequest::Result& result) {
    switch (result.outcome) {
    case PortalRequest::Outcome::success:
        store_.setValue(QLatin1String(configuredKey), true);
        return setState(State::bound);
    case PortalRequest::Outcome::cancelled:
        return setState(State::declined);
    default:
        return checkBinding();
    }
}

// xdg-desktop-portal-gnome 48 may answer BindShortcuts with an error although the user chose
// the keys (fixed in 49): what the desktop lists decides.
void PortalGlobalShortcuts::checkBinding() {
    PortalRequest::send(
        portal_, QLatin1String(interface), QStringLiteral("ListShortcuts"),
        {QVariant::fromValue(QDBusObjectPath(session_))}, {}, limits_.call,
        [this](const PortalRequest::Result& result) {
            const bool bound = result.outcome == PortalRequest::Outcome::success &&
                               listsAllOf(result.results.value(QStringLiteral("shortcuts")));
            if (bound)
                store_.setValue(QLatin1String(configuredKey), true);
            setState(bound ? State::bound : State::failed);
        },
        this);
}

void PortalGlobalShortcuts::configure() {
    if (!canConfigure())
        return;
    portal_.call(QLatin1String(interface), QStringLiteral("ConfigureShortcuts"),
                 {QVariant::fromValue(QDBusObjectPath(session_)), QString(), QVariantMap()},
                 nullptr);
}

void PortalGlobalShortcuts::onActivated(const QDBusObjectPath& session, const QString& id,
                                        qulonglong, const QVariantMap&) {
    if (session.path() != session_)
        return;
    held_.insert(id);
    emit activated(id);
}

void PortalGlobalShortcuts::onDeactivated(const QDBusObjectPath& session, const QString& id,
                                          qulonglong, const QVariantMap&) {
    if (session.path() != session_)
        return;
    held_.remove(id);
    emit deactivated(id);
}

// The desktop ended the session (its portal restarted, say): a new one binds again.
void PortalGlobalShortcuts::onClosed(const QVariantMap&) {
    watchSession(false);
    session_.clear();
    held_.clear();
    setState(State::starting);
    recreate_.startAfter(limits_.recreate, [this] { createSession(); });
}

void PortalGlobalShortcuts::watchSession(bool watch) {
    QDBusConnection& bus = portal_.bus();
    const auto service = QLatin1String(PortalConnection::service);
    const auto closed = QStringLiteral("Closed");
    if (watch)
        bus.connect(service, session_, QLatin1String(sessionInterface), closed, this,
                    SLOT(onClosed(QVariantMap)));
    else
        bus.disconnect(service, session_, QLatin1String(sessionInterface), closed, this,
                       SLOT(onClosed(QVariantMap)));
}

void PortalGlobalShortcuts::setState(State state) {
    if (state_ == state)
        return;
    state_ = state;
    emit stateChanged(state);
}

bool PortalGlobalShortcuts::configured() const {
    const QVariant value = store_.value(QLatin1String(configuredKey));
    return value.typeId() == QMetaType::Bool && value.toBool();
}

} // namespace Blinkwit
