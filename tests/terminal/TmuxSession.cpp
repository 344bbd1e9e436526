#include "TmuxSession.h"

#include "settings/AppSettings.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

namespace Blinkwit::Testing {

namespace {

// Generous: the machine may be busy with other builds.
constexpr int waitLimitMs = 30000;
constexpr int pollMs = 40;

} // namespace

bool TmuxSession::available() {
    return !QStandardPaths::findExecutable("tmux").isEmpty();
}

TmuxSession::TmuxSession(const Options& options)
    : socket_(QStringLiteral("blinkwit-test-") + QUuid::createUuid().toString(QUuid::Id128)) {
    put("text.md", options.text.toUtf8());
    writeSettings(options);
    writeScript(options);
    run({"-f", "/dev/null", "new-session", "-d", "-x", QString::number(options.columns), "-y",
         QString::number(options.rows), "bash " + dir_.filePath("run.sh")});
    run({"pipe-pane", "-o", "cat >> '" + dir_.filePath("output") + "'"});
    put("go", {});
}

TmuxSession::~TmuxSession() {
    run({"kill-server"});
}

QString TmuxSession::defaultsPath() const {
    return dir_.filePath("config/blinkwit/defaults.json");
}

void TmuxSession::writeSettings(const Options& options) const {
    JsonFileDefaultsStore store(defaultsPath());
    AppSettings settings(store);
    settings.setWpm(options.wpm);
    settings.setDarkTheme(options.darkTheme);
}

void TmuxSession::writeScript(const Options& options) const {
    const QString program = QStringLiteral(BLINKWIT_EXECUTABLE);
    QString environment = "-u NO_COLOR";
    QString assignments = "XDG_CONFIG_HOME=\"$dir/config\"";
    for (const auto& [name, value] :
         {std::pair{QStringLiteral("COLORTERM"), options.colorTerm}, {"TERM", options.term}}) {
        if (value.isEmpty())
            environment += " -u " + name;
        else
            assignments += " " + name + "=" + value;
    }
    const QString launch =
        QStringLiteral("sh -c 'echo $$ > pid; exec \"$0\" \"$@\"' env %2 %3 '%1' read --terminal")
            .arg(program, environment, assignments);
    const QString start = options.throughPipe ? "cat text.md | " + launch : launch + " text.md";
    // Job control on, as in an interactive shell: Ctrl+Z stops the program and the script
    // carries on; it continues the program (fg) once the test asks for it.
    put("run.sh", QStringLiteral("set -m\n"
                                 "dir='%1'\n"
                                 "cd \"$dir\"\n"
                                 "while [ ! -e go ]; do sleep 0.02; done\n"
                                 "stty -g > modes-before\n"
                                 "%2\n"
                                 "status=$?\n"
                                 "if [ $status -eq 148 ]; then\n"
                                 "  stty -g > modes-stopped\n"
                                 "  echo 'reader stopped'\n"
                                 "  while [ ! -e resume ]; do sleep 0.02; done\n"
                                 "  fg > /dev/null\n"
                                 "  status=$?\n"
                                 "fi\n"
                                 "echo $status > status.tmp && mv status.tmp status\n"
                                 "stty -g > modes-after\n"
                                 "echo 'shell prompt is back'\n"
                                 "exec sleep 3600\n")
                      .arg(dir_.path(), start)
                      .toUtf8());
}

QString TmuxSession::run(const QStringList& arguments) const {
    QProcess tmux;
    tmux.start("tmux", QStringList{"-L", socket_} + arguments);
    tmux.waitForFinished(waitLimitMs);
    return QString::fromUtf8(tmux.readAllStandardOutput());
}

void TmuxSession::put(const QString& name, const QByteArray& bytes) const {
    QFile file(dir_.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

bool TmuxSession::until(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(waitLimitMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(pollMs);
    }
    return true;
}

QString TmuxSession::file(const QString& name) const {
    QFile stored(dir_.filePath(name));
    if (!stored.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(stored.readAll()).trimmed();
}

void TmuxSession::sendKeys(const QStringList& keys) const {
    for (const QString& key : keys)
        run({"send-keys", key});
}

void TmuxSession::sendLiteral(const QString& bytes) const {
    run({"send-keys", "-l", bytes});
}

void TmuxSession::paste(const QString& text) const {
    run({"set-buffer", text});
    run({"paste-buffer", "-p"});
}

void TmuxSession::scribble(const QByteArray& bytes) const {
    QFile tty(paneFormat("#{pane_tty}"));
    if (tty.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        tty.write(bytes);
}

void TmuxSession::resize(int columns, int rows) const {
    run({"resize-window", "-x", QString::number(columns), "-y", QString::number(rows)});
}

QStringList TmuxSession::screen() const {
    QStringList rows = run({"capture-pane", "-p"}).split('\n');
    if (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast(); // after the final line end
    return rows;
}

QString TmuxSession::paneFormat(const QString& format) const {
    return run({"display-message", "-p", format}).trimmed();
}

bool TmuxSession::waitFor(const std::function<bool(const QStringList&)>& predicate) const {
    return until([&] { return predicate(screen()); });
}

bool TmuxSession::waitForText(const QString& text) const {
    return waitFor([&text](const QStringList& rows) { return rows.join('\n').contains(text); });
}

qint64 TmuxSession::programPid() const {
    until([this] { return !file("pid").isEmpty(); });
    return file("pid").toLongLong();
}

bool TmuxSession::waitForExit() const {
    until([this] { return QFile::exists(dir_.filePath("status")); });
    return waitForText("shell prompt is back");
}

int TmuxSession::exitStatus() const {
    const QString status = file("status");
    return status.isEmpty() ? -1 : status.toInt();
}

void TmuxSession::continueStopped() const {
    put("resume", {});
}

// Replays the program's output on a grid of rows: it positions the cursor at the start of a row
// and writes the whole row, so row text and clears are all that matter here.
std::vector<QStringList> TmuxSession::recordedFrames() const {
    // The recording ends once the program has left the alternate screen.
    QString output;
    until([&] {
        QFile file(dir_.filePath("output"));
        file.open(QIODevice::ReadOnly);
        output = QString::fromUtf8(file.readAll());
        return output.contains(QStringLiteral("\x1b[?1049l"));
    });
    static const QRegularExpression rowStart(QStringLiteral("\x1b\\[(\\d+);1H"));
    static const QRegularExpression otherEscapes(QStringLiteral("\x1b\\[[0-9;?]*[A-Za-z]"));
    std::vector<QStringList> frames;
    QStringList grid;
    for (const QString& chunk : output.split(QStringLiteral("\x1b[?2026h")).mid(1)) {
        if (chunk.contains(QStringLiteral("\x1b[2J")))
            grid.clear();
        auto match = rowStart.globalMatch(chunk);
        while (match.hasNext()) {
            const auto found = match.next();
            const int row = found.captured(1).toInt() - 1;
            QString text = chunk.mid(found.capturedEnd());
            text = text.left(text.indexOf(rowStart)).remove(otherEscapes);
            while (grid.size() <= row)
                grid.append(QString());
            grid[row] = text;
        }
        frames.push_back(grid);
    }
    return frames;
}

} // namespace Blinkwit::Testing
