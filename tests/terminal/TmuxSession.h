#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <string>
#include <vector>

namespace Blinkwit::Testing {

// The real program in a real terminal: blinkwit runs in a tmux pane of a private tmux server,
// started by a small shell script that records the terminal modes before and after it, its
// process id and its exit status, and then keeps the pane open. Everything the program writes
// is recorded as well, so that short-lived frames (the countdown) can be checked afterwards.
class TmuxSession {
public:
    struct Options {
        QString text;
        // How the program gets the text: "file" (named on the command line) or "pipe".
        bool throughPipe = false;
        int wpm = 400;
        bool darkTheme = true;
        int columns = 80;
        int rows = 24;
        // The terminal type and colour support the program sees; empty: not set.
        QString term = QStringLiteral("tmux-256color");
        QString colorTerm = QStringLiteral("truecolor");
    };

    static bool available();

    explicit TmuxSession(const Options& options);
    ~TmuxSession();
    TmuxSession(const TmuxSession&) = delete;
    TmuxSession& operator=(const TmuxSession&) = delete;

    void sendKeys(const QStringList& keys) const;
    // Bytes typed into the pane as they are (mouse reports, for instance).
    void sendLiteral(const QString& bytes) const;
    // Pastes text as a terminal does: inside bracketed-paste marks when the program asked for them.
    void paste(const QString& text) const;
    // Writes straight onto the screen behind the program's back, as another process might.
    void scribble(const QByteArray& bytes) const;
    void resize(int columns, int rows) const;
    // The visible screen, one string per row.
    QStringList screen() const;
    // tmux's value of a format such as #{cursor_flag} for the pane.
    QString paneFormat(const QString& format) const;
    // Polls the screen until the predicate holds; false after a generous limit.
    bool waitFor(const std::function<bool(const QStringList&)>& predicate) const;
    bool waitForText(const QString& text) const;

    // The program's process id, its exit status once it has ended (-1 before).
    qint64 programPid() const;
    bool waitForExit() const;
    int exitStatus() const;
    // What the script recorded: "modes-before" and "modes-after" (stty -g around the program),
    // "modes-stopped" (while stopped by Ctrl+Z).
    QString file(const QString& name) const;
    // The defaults file the program uses.
    QString defaultsPath() const;
    // Continues the program stopped by Ctrl+Z (fg).
    void continueStopped() const;

    // Every frame the program drew, as screen rows, in order.
    std::vector<QStringList> recordedFrames() const;

private:
    // Polls until the condition holds; false after a generous limit.
    static bool until(const std::function<bool()>& condition);
    QString run(const QStringList& arguments) const;
    void put(const QString& name, const QByteArray& bytes) const;
    void writeSettings(const Options& options) const;
    void writeScript(const Options& options) const;

    QTemporaryDir dir_;
    QString socket_;
};

} // namespace Blinkwit::Testing
