#pragma once

#include "Frame.h"
#include "KeyDecoder.h"
#include "TerminalColor.h"
#include "platform/Timer.h"

#include <QObject>
#include <memory>
#include <optional>

namespace Blinkwit {

class AppSettings;
class CodeLines;
class ReaderEngine;
class TerminalSession;

// The reader in a terminal: keys become engine commands, every change of the engine, the
// settings or the terminal's size becomes one redraw on the next turn of the event loop.
class TerminalReader final : public QObject {
    Q_OBJECT
public:
    static constexpr int speedStep = 25;
    static constexpr int exitInterrupted = 130;

    TerminalReader(TerminalSession& session, ReaderEngine& engine, AppSettings& settings,
                   Scheduler& scheduler, ColorDepth depth);

signals:
    // The reader is done; the program should end with this status.
    void quitRequested(int status);

private:
    void handleKey(TerminalKey key);
    bool handleCodeKey(TerminalKey key);
    void handleClick(TerminalClick click);
    void scrollCode(int lines, int columns);
    void repaint();
    void suspend();
    void quit(int status);
    void scheduleDraw();
    void draw();

    TerminalSession& session_;
    ReaderEngine& engine_;
    AppSettings& settings_;
    ColorDepth depth_;
    KeyDecoder decoder_;
    Timer drawTimer_;
    std::optional<Frame> shown_;
    // The expanded code block's lines, split once rather than on every frame.
    std::shared_ptr<const CodeLines> code_;
    int codeLine_ = 0;
    int codeColumn_ = 0;
    bool quitting_ = false;
    // A press on the progress bar seeks when the button is released, wherever that is.
    bool seeking_ = false;
};

} // namespace Blinkwit
