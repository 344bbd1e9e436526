#pragma once

#include "core/TextPreprocessor.h"
#include "reader/TextPreparation.h"

#include <QObject>
#include <QString>
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

    // The longest text the history keeps, in UTF-16 units. The history lives in the settings
    // file, which is written whole on every change and read at every start: a 50 MB text cost
    // more memory than all its tokens, and seconds at each start.
    static constexpr qsizetype longestRemembered = qsizetype(1) << 20;

    // Always shows the reader; absent, empty or blank text shows its empty state and is not
    // remembered. A long text is tokenised while the reader shows that it is preparing; it is
    // remembered once it has given tokens, unless it is longer than longestRemembered.
    void present(const std::optional<QString>& text);
    // A long text is still being tokenised (perhaps for a reader already closed).
    bool preparing() const { return preparation_.busy(); }
    // Reads the clipboard's plain text (absent when it holds none).
    void readClipboard();

    // The stored code-block setting as a mode: an unknown or empty value means placeholder.
    static BlinkwitCore::TextPreprocessor::CodeBlockMode codeBlockMode(const QString& raw);

private:
    AppSettings& settings_;
    ReaderEngine& engine_;
    ReaderPanelController& panelController_;
    HistoryStore& history_;
    TextPreparation preparation_;
    // The text being prepared, for the history once it gives tokens.
    std::optional<QString> prepared_;
};

} // namespace Blinkwit
