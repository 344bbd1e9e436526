#include "AppCoordinator.h"

#include "KeyboardShortcuts/Registry.h"
#include "PermissionWindows.h"
#include "Permissions.h"
#include "RegionSelector.h"
#include "ResidentCommands.h"
#include "ScreenOCR.h"
#include "SelectionGrabber.h"
#include "platform/Scheduler.h"
#include "platform/Timer.h"
#include "reader/ReaderEngine.h"
#include "reader/ReaderPanel.h"
#include "reader/ReaderPanelController.h"
#include "settings/AppSettings.h"
#include "settings/DefaultsStore.h"
#include "settings/HistoryStore.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>

namespace Blinkwit {

using BlinkwitCore::TextPreprocessor;

AppCoordinator::AppCoordinator(AppSettings& settings, ReaderEngine& engine,
                               ReaderPanelController& panelController, HistoryStore& history,
                               QObject* parent)
    : QObject(parent)
    , settings_(settings)
    , engine_(engine)
    , panelController_(panelController)
    , history_(history)
    , preparation_(engine) {
    connect(&preparation_, &TextPreparation::ready, this,
            [this](const std::string& text, bool anyTokens) {
                if (anyTokens)
                    history_.add(QString::fromStdString(text));
            });
}

AppCoordinator::AppCoordinator(AppSettings& settings, ReaderEngine& engine,
                               ReaderPanelController& panelController, HistoryStore& history,
                               Desktop desktop, QObject* parent)
    : AppCoordinator(settings, engine, panelController, history, parent) {
    desktop_.emplace(desktop);
}

AppCoordinator::~AppCoordinator() = default;

// Adapted from the original wording for this desktop: "menu bar" -> "tray", "the bolt icon at
// the top of your screen" -> "the bolt icon in your tray".
QString AppCoordinator::welcomeText() {
    return QStringLiteral(
        "Welcome to Blinkwit. You're speed reading right now — keep your eyes on the green letter "
        "and let the words come to you.\n\n"
        "Blinkwit lives in your tray. Click the bolt icon in your tray for Settings, where you "
        "can change the colors, the speed, and the hotkeys.\n\n"
        "To read anything: select text in any app, then press Control Shift R. Press Space to "
        "pause. Press the up arrow to go faster.\n\n"
        "Press Escape to close this window. Enjoy.");
}

TextPreprocessor::CodeBlockMode AppCoordinator::codeBlockMode(const QString& raw) {
    return TextPreprocessor::fromRaw(raw.toStdString())
        .value_or(TextPreprocessor::CodeBlockMode::placeholder);
}

void AppCoordinator::present(const std::optional<QString>& text) {
    TextPreprocessor::Options options;
    options.codeBlockMode = codeBlockMode(settings_.codeBlockModeRaw());
    preparation_.start(text ? text->toStdString() : std::string(), options);
    panelController_.show();
}

// Deferred work holds the coordinator weakly.
WaylandTextReader::Completion AppCoordinator::presentLater() {
    return [self = QPointer(this)](std::optional<QString> text) {
        if (self)
            self->present(text);
    };
}

void AppCoordinator::readClipboard() {
    // On Wayland, Qt sees XWayland's clipboard, which some desktops fill only on focus.
    if (desktop_ && desktop_->wayland)
        return desktop_->wayland->readClipboard(presentLater());
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    if (data && data->hasText())
        present(data->text());
    else
        present(std::nullopt);
}

void AppCoordinator::setup() {
    Q_ASSERT(desktop_);
    for (const ResidentCommands::Command& command : ResidentCommands::all())
        desktop_->shortcuts.onKeyUp(command.shortcut(), [self = QPointer(this), run = command.run] {
            if (self)
                (self.data()->*run)();
        });
    // A Wayland session's access is explained once the desktop has answered about hot keys.
    if (!InstallLocationRules::isInstalled(desktop_->permissions.installLocation()) ||
        (!desktop_->wayland && !desktop_->permissions.isTrustedForAccessibility()))
        explainMissingPermission();
    scheduleWelcome();
}

void AppCoordinator::scheduleWelcome() {
    DefaultsStore& store = settings_.defaults();
    const QVariant shown = store.value(QLatin1String(hasShownWelcomeKey));
    if (shown.typeId() == QMetaType::Bool && shown.toBool())
        return;
    store.setValue(QLatin1String(hasShownWelcomeKey), true);
    welcome_ = std::make_unique<Timer>(desktop_->scheduler);
    welcome_->startAfter(welcomeDelay, [this] { present(welcomeText()); });
}

void AppCoordinator::readSelection() {
    Q_ASSERT(desktop_);
    if (desktop_->wayland)
        return desktop_->wayland->readSelection(presentLater());
    if (!desktop_->permissions.isTrustedForAccessibility()) {
        explainMissingPermission();
        return;
    }
    if (auto text = desktop_->grabber.accessibilitySelectedText(); text && !text->isEmpty()) {
        present(text);
        return;
    }
    desktop_->grabber.grabViaClipboardSimulation(presentLater());
}

// A copy that is not installed is the likelier cause: moving it comes first.
void AppCoordinator::explainMissingPermission() {
    const bool installed =
        InstallLocationRules::isInstalled(desktop_->permissions.installLocation());
    desktop_->permissionWindows.show(installed ? PermissionKind::accessibility
                                               : PermissionKind::installLocation);
}

void AppCoordinator::setScreenRegionServices(const ScreenRegionServices& services) {
    screenRegion_ = services;
}

ScreenRegionServices& AppCoordinator::screenRegion() {
    if (!screenRegion_)
        screenRegion_ = ScreenRegionServices::desktop();
    return *screenRegion_;
}

void AppCoordinator::readScreenRegion() {
    Q_ASSERT(desktop_);
    if (!desktop_->permissions.isScreenCaptureGranted()) {
        desktop_->permissions.requestScreenCapture();
        desktop_->permissionWindows.show(PermissionKind::screenRecording);
        return;
    }
    const ScreenRegionServices& services = screenRegion();
    if (services.selector->selecting())
        return;
    if (panelController_.panel() && panelController_.panel()->isVisible())
        panelController_.hide();
    services.selector->begin([self = QPointer(this)](std::optional<QRectF> rect) {
        if (self && rect)
            self->recognizeRegion(*rect);
    });
}

void AppCoordinator::recognizeRegion(const QRectF& rect) {
    desktop_->scheduler.scheduleAfter(recognitionDelay, [self = QPointer(this), rect] {
        if (!self)
            return;
        self->screenRegion().ocr->recognizeText(rect, [self](OcrResult result) {
            if (!self)
                return;
            // Every failure opens the reader empty; the reason is not shown.
            const QString* text = std::get_if<QString>(&result);
            self->present(text ? std::optional<QString>(*text) : std::nullopt);
        });
    });
}

} // namespace Blinkwit
