#include "AppCoordinator.h"

#include "reader/ReaderEngine.h"
#include "reader/ReaderPanelController.h"
#include "settings/AppSettings.h"
#include "settings/HistoryStore.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

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
    connect(&preparation_, &TextPreparation::loaded, this, [this](bool anyTokens) {
        if (anyTokens && prepared_)
            history_.add(*prepared_);
        prepared_.reset();
    });
}

TextPreprocessor::CodeBlockMode AppCoordinator::codeBlockMode(const QString& raw) {
    return TextPreprocessor::fromRaw(raw.toStdString())
        .value_or(TextPreprocessor::CodeBlockMode::placeholder);
}

void AppCoordinator::present(const std::optional<QString>& text) {
    TextPreprocessor::Options options;
    options.codeBlockMode = codeBlockMode(settings_.codeBlockModeRaw());
    prepared_.reset();
    if (text && text->size() <= longestRemembered)
        prepared_ = text;
    preparation_.start(text ? text->toStdString() : std::string(), options);
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

} // namespace Blinkwit
