#include "AppCoordinator.h"

#include "RegionSelector.h"
#include "ScreenCaptureAccess.h"
#include "ScreenOCR.h"
#include "platform/Scheduler.h"
#include "reader/ReaderEngine.h"
#include "reader/ReaderPanel.h"
#include "reader/ReaderPanelController.h"
#include "settings/AppSettings.h"
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
    , history_(history) {}

TextPreprocessor::CodeBlockMode AppCoordinator::codeBlockMode(const QString& raw) {
    return TextPreprocessor::fromRaw(raw.toStdString())
        .value_or(TextPreprocessor::CodeBlockMode::placeholder);
}

void AppCoordinator::present(const std::optional<QString>& text) {
    TextPreprocessor::Options options;
    options.codeBlockMode = codeBlockMode(settings_.codeBlockModeRaw());
    const std::string utf8 = text ? text->toStdString() : std::string();
    std::vector<BlinkwitCore::Token> tokens = TextPreprocessor::tokens(utf8, options);
    if (text && !tokens.empty())
        history_.add(*text);
    engine_.load(std::move(tokens));
    panelController_.show();
}

void AppCoordinator::readClipboard() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    if (data && data->hasText())
        present(data->text());
    else
        present(std::nullopt);
}

void AppCoordinator::setScreenRegionServices(const ScreenRegionServices& services) {
    screenRegion_ = services;
}

void AppCoordinator::setScreenCaptureDeniedHandler(std::function<void()> handler) {
    screenCaptureDenied_ = std::move(handler);
}

ScreenRegionServices& AppCoordinator::screenRegion() {
    if (!screenRegion_)
        screenRegion_ = ScreenRegionServices::desktop();
    return *screenRegion_;
}

void AppCoordinator::readScreenRegion() {
    const ScreenRegionServices& services = screenRegion();
    if (!services.access->granted()) {
        services.access->request();
        if (screenCaptureDenied_)
            screenCaptureDenied_();
        return;
    }
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
    const ScreenRegionServices& services = screenRegion();
    services.scheduler->scheduleAfter(recognitionDelay, [self = QPointer(this), rect] {
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
