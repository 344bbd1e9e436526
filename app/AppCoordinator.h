#pragma once

#include "ScreenRegionServices.h"
#include "core/TextPreprocessor.h"

#include <QObject>
#include <QRectF>
#include <QString>
#include <functional>
#include <optional>

namespace Blinkwit {

class AppSettings;
class HistoryStore;
class ReaderEngine;
class ReaderPanelController;

// Where every way of reading ends: text is tokenised with the user's code-block choice,
// remembered in the history, loaded into the engine and shown in the reader panel.
class AppCoordinator final : public QObject {
    Q_OBJECT
public:
    AppCoordinator(AppSettings& settings, ReaderEngine& engine,
                   ReaderPanelController& panelController, HistoryStore& history,
                   QObject* parent = nullptr);

    AppSettings& settings() const { return settings_; }
    ReaderEngine& engine() const { return engine_; }
    ReaderPanelController& panelController() const { return panelController_; }

    // Always shows the reader; absent, empty or blank text shows its empty state and is not
    // remembered.
    void present(const std::optional<QString>& text);
    // Reads the clipboard's plain text (absent when it holds none).
    void readClipboard();

    // Seconds between the end of a region selection and its capture, for the overlays to leave
    // the screen.
    static constexpr double recognitionDelay = 0.15;
    // Hides the reader, lets the user drag a rectangle over the screen and reads the text
    // recognised in it; the reader opens empty when nothing was recognised. Ignored while a
    // selection is on screen. Without screen-capture access the desktop is asked for it and the
    // denied handler runs instead.
    void readScreenRegion();
    // The desktop's own services are used unless others are set.
    void setScreenRegionServices(const ScreenRegionServices& services);
    // Explains missing screen-capture access to the user.
    void setScreenCaptureDeniedHandler(std::function<void()> handler);

    // The stored code-block setting as a mode: an unknown or empty value means placeholder.
    static BlinkwitCore::TextPreprocessor::CodeBlockMode codeBlockMode(const QString& raw);

private:
    ScreenRegionServices& screenRegion();
    void recognizeRegion(const QRectF& rect);

    AppSettings& settings_;
    ReaderEngine& engine_;
    ReaderPanelController& panelController_;
    HistoryStore& history_;
    std::optional<ScreenRegionServices> screenRegion_;
    std::function<void()> screenCaptureDenied_;
};

} // namespace Blinkwit
