#pragma once

#include "ScreenRegionServices.h"
#include "WaylandTextReader.h"
#include "core/TextPreprocessor.h"
#include "reader/TextPreparation.h"

#include <QObject>
#include <QRectF>
#include <QString>
#include <memory>
#include <optional>

namespace Blinkwit {

namespace KeyboardShortcuts {
class Registry;
}

class AppSettings;
class HistoryStore;
class Permissions;
class PermissionWindows;
class ReaderEngine;
class ReaderPanelController;
class Scheduler;
class SelectionGrabber;
class Timer;

// Where every way of reading ends: text is tokenised with the user's code-block choice,
// remembered in the history, loaded into the engine and shown in the reader panel.
class AppCoordinator final : public QObject {
    Q_OBJECT
public:
    // What the resident program's commands need beyond presenting text.
    struct Desktop {
        KeyboardShortcuts::Registry& shortcuts;
        SelectionGrabber& grabber;
        Permissions& permissions;
        PermissionWindows& permissionWindows;
        Scheduler& scheduler;
        // A Wayland session's way to selections; none in an X11 session.
        WaylandTextReader* wayland = nullptr;
    };

    static constexpr const char* hasShownWelcomeKey = "hasShownWelcome";
    static constexpr double welcomeDelay = 0.8;

    AppCoordinator(AppSettings& settings, ReaderEngine& engine,
                   ReaderPanelController& panelController, HistoryStore& history,
                   QObject* parent = nullptr);
    // The resident program's coordinator, which also runs setup() and readSelection().
    AppCoordinator(AppSettings& settings, ReaderEngine& engine,
                   ReaderPanelController& panelController, HistoryStore& history, Desktop desktop,
                   QObject* parent = nullptr);
    ~AppCoordinator() override;

    AppSettings& settings() const { return settings_; }
    ReaderEngine& engine() const { return engine_; }
    ReaderPanelController& panelController() const { return panelController_; }

    // Always shows the reader; absent, empty or blank text shows its empty state and is not
    // remembered. A long text is tokenised while the reader shows that it is preparing; it is
    // remembered once it has given tokens.
    void present(const std::optional<QString>& text);
    // A long text is still being tokenised (perhaps for a reader already closed).
    bool preparing() const { return preparation_.busy(); }
    // Reads the clipboard's plain text (absent when it holds none).
    void readClipboard();

    // Once at launch: the hot keys of every resident command, the permission check and, on the
    // very first launch, the welcome text welcomeDelay later.
    void setup();
    // The selected text when the desktop lets us read it; otherwise the permission window. In a
    // Wayland session, whatever the desktop's ways find.
    void readSelection();

    static QString welcomeText();
    // Seconds between the end of a region selection and its capture, for the overlays to leave
    // the screen.
    static constexpr double recognitionDelay = 0.15;
    // Hides the reader, lets the user drag a rectangle over the screen and reads the text
    // recognised in it; the reader opens empty when nothing was recognised. Ignored while a
    // selection is on screen. Without screen-capture access the desktop is asked for it and the
    // permission window explains.
    void readScreenRegion();
    // The desktop's own overlay and recogniser are used unless others are set.
    void setScreenRegionServices(const ScreenRegionServices& services);

    // The stored code-block setting as a mode: an unknown or empty value means placeholder.
    static BlinkwitCore::TextPreprocessor::CodeBlockMode codeBlockMode(const QString& raw);

private:
    WaylandTextReader::Completion presentLater();
    void explainMissingPermission();
    void scheduleWelcome();
    ScreenRegionServices& screenRegion();
    void recognizeRegion(const QRectF& rect);

    AppSettings& settings_;
    ReaderEngine& engine_;
    ReaderPanelController& panelController_;
    HistoryStore& history_;
    std::optional<Desktop> desktop_;
    std::unique_ptr<Timer> welcome_;
    std::optional<ScreenRegionServices> screenRegion_;
    TextPreparation preparation_;
};

} // namespace Blinkwit
