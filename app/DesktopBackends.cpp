#include "DesktopBackends.h"

#include "BuildInfo.h"
#include "KeyboardShortcuts/Registry.h"
#include "RegionSelectionController.h"
#include "ResidentCommands.h"
#include "ScreenOCR.h"
#include "WaylandTextReader.h"
#include "platform/GrimCapture.h"
#include "platform/PortalConnection.h"
#include "platform/PortalCopyCommandSender.h"
#include "platform/PortalHotKeyBackend.h"
#include "platform/PortalScreenshot.h"
#include "platform/TesseractRecognizer.h"
#include "platform/WaylandScreenGrabber.h"
#include "platform/WlClipboard.h"
#include "platform/X11HotKeyBackend.h"
#include "platform/X11Session.h"
#include "settings/DefaultsStore.h"

namespace Blinkwit {

namespace {

std::vector<PortalHotKeyBackend::Command> portalCommands() {
    std::vector<PortalHotKeyBackend::Command> commands;
    for (const ResidentCommands::Command& command : ResidentCommands::all())
        commands.push_back({command.shortcut(), QString::fromUtf8(command.menuTitle)});
    return commands;
}

QString desktopName(const DesktopSession& session) {
    switch (session.desktop) {
    case DesktopSession::Desktop::gnome:
        return QStringLiteral("GNOME");
    case DesktopSession::Desktop::kde:
        return QStringLiteral("KDE Plasma");
    case DesktopSession::Desktop::hyprland:
        return QStringLiteral("Hyprland");
    case DesktopSession::Desktop::wlroots:
    case DesktopSession::Desktop::other:
        return session.desktopName.section(QLatin1Char(':'), 0, 0);
    }
    return {};
}

// Hyprland's portal binds without asking: the keys are whatever its config binds to our names.
WaylandAccess::HotKeys hotKeysOf(PortalGlobalShortcuts::State state,
                                 DesktopSession::Desktop desktop) {
    using State = PortalGlobalShortcuts::State;
    switch (state) {
    case State::bound:
        return desktop == DesktopSession::Desktop::hyprland ? WaylandAccess::HotKeys::inConfig
                                                            : WaylandAccess::HotKeys::desktop;
    case State::starting:
        return WaylandAccess::HotKeys::starting;
    case State::needsAppId:
        return WaylandAccess::HotKeys::needsInstall;
    case State::unavailable:
    case State::declined:
    case State::failed:
        break;
    }
    return WaylandAccess::HotKeys::byHand;
}

} // namespace

DesktopBackends::DesktopBackends(const DesktopSession& session, DefaultsStore& store,
                                 Scheduler& scheduler, Clipboard& clipboard,
                                 std::function<void()> focusPanel, QObject* parent)
    : QObject(parent)
    , session_(session)
    , store_(store) {
    if (session_.wayland)
        startWayland(store, scheduler, clipboard, std::move(focusPanel));
    else
        hotKeys_ = X11HotKeyBackend::createForCurrentPlatform();
}

DesktopBackends::~DesktopBackends() = default;

void DesktopBackends::startWayland(DefaultsStore& store, Scheduler& scheduler, Clipboard& clipboard,
                                   std::function<void()> focusPanel) {
    portal_ = std::make_unique<PortalConnection>(QLatin1String(BuildInfo::identifier), scheduler);
    auto hotKeys = std::make_unique<PortalHotKeyBackend>(*portal_, store, portalCommands());
    portalHotKeys_ = hotKeys.get();
    hotKeys_ = std::move(hotKeys);
    if (session_.hasDataControl() && WlClipboard::isInstalled())
        dataControl_ = std::make_unique<WlClipboard>(scheduler);
    reader_ = std::make_unique<WaylandTextReader>(
        WaylandTextReader::Ways{clipboard, dataControl_.get(), nullptr, std::move(focusPanel),
                                scheduler},
        session_.desktop);
    portal_->version(QLatin1String(PortalCopyCommandSender::interface), [this](uint version) {
        copyOffered_ = version > 0;
        if (copyOffered_ && store_.value(QLatin1String(copyCommandKey)).toBool())
            createCopySender();
        emit accessChanged();
    });
    chooseCapture(scheduler);
}

// wlroots compositors let grim read the screen; the others capture through their portal.
void DesktopBackends::chooseCapture(Scheduler& scheduler) {
    const bool wlroots = session_.desktop == DesktopSession::Desktop::wlroots ||
                         session_.desktop == DesktopSession::Desktop::hyprland;
    if (wlroots && GrimCapture::isInstalled()) {
        capture_ = std::make_unique<GrimCapture>(scheduler);
        captureWay_ = WaylandAccess::Capture::grim;
    } else {
        capture_ =
            std::make_unique<PortalScreenshot>(*portal_, [this] { return screens_->desktop(); });
        portal_->version(QLatin1String(PortalScreenshot::interface), [this](uint version) {
            captureWay_ =
                version > 0 ? WaylandAccess::Capture::portal : WaylandAccess::Capture::none;
            emit accessChanged();
        });
    }
    screens_ = std::make_unique<WaylandScreenGrabber>(*capture_);
    recognizer_ = std::make_unique<TesseractRecognizer>();
    ocr_ = std::make_unique<ScreenOCR>(*screens_, *recognizer_);
}

std::optional<ScreenRegionServices> DesktopBackends::screenRegion() const {
    if (!ocr_)
        return std::nullopt;
    return ScreenRegionServices{&RegionSelectionController::shared(), ocr_.get()};
}

bool DesktopBackends::allowsScreenCapture() const {
    return session_.wayland ? captureWay_ != WaylandAccess::Capture::none
                            : X11Session::allowsScreenCapture();
}

void DesktopBackends::start(KeyboardShortcuts::Registry& registry) {
    if (!portalHotKeys_)
        return;
    portalHotKeys_->start(
        [&registry](const KeyboardShortcuts::Name& name) { return registry.getShortcut(name); });
    connect(portalHotKeys_->shortcuts(), &PortalGlobalShortcuts::stateChanged, this,
            &DesktopBackends::accessChanged);
}

PortalGlobalShortcuts* DesktopBackends::portalShortcuts() const {
    return portalHotKeys_ ? portalHotKeys_->shortcuts() : nullptr;
}

// The copy waits for the portal's hot key to be let go; one bound by hand in the desktop's
// settings gives no such word, and is taken as released.
void DesktopBackends::createCopySender() {
    copy_ = std::make_unique<PortalCopyCommandSender>(*portal_, store_, [this] {
        const PortalGlobalShortcuts* shortcuts = portalShortcuts();
        return shortcuts && shortcuts->isHeld();
    });
    reader_->setCopy(copy_.get());
}

void DesktopBackends::setCopyCommandEnabled(bool enabled) {
    store_.setValue(QLatin1String(copyCommandKey), enabled);
    if (!reader_)
        return;
    if (enabled && copyOffered_ && !copy_) {
        createCopySender();
    } else if (!enabled) {
        reader_->setCopy(nullptr);
        copy_.reset();
    }
    emit accessChanged();
}

bool DesktopBackends::configureHotKeys() {
    PortalGlobalShortcuts* shortcuts = portalShortcuts();
    if (!shortcuts || !shortcuts->canConfigure())
        return false;
    shortcuts->configure();
    return true;
}

WaylandAccess DesktopBackends::access() const {
    WaylandAccess access;
    access.desktop = desktopName(session_);
    const PortalGlobalShortcuts* shortcuts = portalShortcuts();
    access.hotKeys =
        hotKeysOf(shortcuts ? shortcuts->state() : PortalGlobalShortcuts::State::unavailable,
                  session_.desktop);
    access.canConfigureHotKeys = shortcuts && shortcuts->canConfigure();
    // GNOME shares the selections with X11 programs; data-control reads them anywhere.
    const bool shared = session_.desktop == DesktopSession::Desktop::gnome || dataControl_;
    access.selection =
        shared ? WaylandAccess::Selection::shared : WaylandAccess::Selection::whenFocused;
    access.copyOffered = copyOffered_ && shared;
    access.copyEnabled = copy_ != nullptr;
    access.capture = captureWay_;
    return access;
}

QString DesktopBackends::describe() const {
    QString line = session_.describe() + QStringLiteral(" session: ");
    if (!session_.wayland)
        return line + QStringLiteral("hot keys by X key grabs, the selection from PRIMARY or by "
                                     "an XTest Ctrl+C");
    line += QStringLiteral("hot keys through the GlobalShortcuts portal (or bound by hand to "
                           "blinkwit --command), the selection ");
    if (session_.desktop == DesktopSession::Desktop::gnome)
        line += QStringLiteral("shared with XWayland");
    else if (dataControl_)
        line += QStringLiteral("through data-control (wl-paste)");
    else
        line += QStringLiteral("through XWayland once the reader has focus");
    line += store_.value(QLatin1String(copyCommandKey)).toBool()
                ? QStringLiteral(", Ctrl+C through the RemoteDesktop portal")
                : QStringLiteral(", no Ctrl+C (not turned on)");
    line += captureWay_ == WaylandAccess::Capture::grim
                ? QStringLiteral(", screen regions with grim")
                : QStringLiteral(", screen regions through the Screenshot portal");
    return line + QStringLiteral(", windows on XWayland");
}

} // namespace Blinkwit
