#pragma once

#include <QObject>
#include <QPointF>
#include <memory>
#include <optional>

class QKeyEvent;

namespace Blinkwit {

class AppSettings;
class CompositorWatcher;
class ReaderEngine;
class ReaderPanel;

// Owns the reader panel: where it opens, remembering where the user put it, growing it for an
// expanded code block, and turning its key presses into engine commands.
class ReaderPanelController final : public QObject {
    Q_OBJECT
public:
    static constexpr const char* originKey = "panelOrigin";
    static constexpr int speedStep = 25;

    ReaderPanelController(ReaderEngine& engine, AppSettings& settings, QObject* parent = nullptr);
    ~ReaderPanelController() override;

    // Places the panel, shows it with key focus and starts listening to its keys.
    void show();
    // Stops the engine, stops listening and takes the panel off the screen (it is kept).
    void hide();

    ReaderPanel* ensurePanel();
    ReaderPanel* panel() const { return panel_.get(); }
    void position(ReaderPanel& panel);

    void installKeyMonitor();
    void removeKeyMonitor();
    bool keyMonitorInstalled() const { return monitorInstalled_; }
    // Returns whether the key was used; unused keys go on to the focused widget.
    bool handleKey(const QKeyEvent& event);

    // The origin stored under originKey, when it is a list of two numbers.
    std::optional<QPointF> rememberedOrigin() const;

signals:
    // The panel was taken off the screen by hide().
    void hidden();

private:
    class KeyMonitor;

    void saveOrigin();
    void resizeForCode(bool expanded);
    int panelHeight() const;

    ReaderEngine& engine_;
    AppSettings& settings_;
    std::unique_ptr<ReaderPanel> panel_;
    std::unique_ptr<CompositorWatcher> compositor_;
    std::unique_ptr<KeyMonitor> keyMonitor_;
    bool monitorInstalled_ = false;
};

} // namespace Blinkwit
