#pragma once

#include "FrameComposer.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>
#include <string_view>

class QSocketNotifier;

namespace Blinkwit {

// The controlling terminal while the reader owns it: raw keys, the alternate screen, no cursor.
// Everything is put back on every way out: destruction, a termination signal (the program is
// told and unwinds), and a crash signal (restored inside the handler, then the signal goes on
// to its previous action). Signals reach the event loop through a self-pipe. One session at a
// time.
class TerminalSession final : public QObject {
    Q_OBJECT
public:
    // Null, with the reason in error, when there is no terminal to read keys from, or one whose
    // type says it cannot redraw a screen (TERM unset or dumb).
    static std::unique_ptr<TerminalSession> open(QString& error);
    ~TerminalSession() override;

    TerminalSize size() const;
    // Writes the bytes with one write() call (repeated only for an interrupted or partial write).
    void write(std::string_view bytes);
    // Leaves raw mode and the alternate screen; idempotent.
    void restore();
    // Gives the terminal back and stops the process, as Ctrl+Z does elsewhere; takes the
    // terminal again when the process is continued (and reports resized() to redraw).
    void suspend();

signals:
    void keyBytes(const QByteArray& bytes);
    void resized();
    // Ctrl+Z from outside (SIGTSTP): the reader should pause, then call suspend().
    void suspendRequested();
    // A signal that would end the process arrived (SIGINT, SIGTERM, SIGHUP, SIGPIPE ...), or
    // the terminal went away (signal 0).
    void terminationRequested(int signal);

private:
    TerminalSession(int readFd, int writeFd);
    void enter();
    void takeOver();
    void readKeys();
    void readSignals();

    int readFd_ = -1;
    int writeFd_ = -1;
    bool active_ = false;
    std::unique_ptr<QSocketNotifier> keyNotifier_;
    std::unique_ptr<QSocketNotifier> signalNotifier_;
};

} // namespace Blinkwit
