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
    QFile text(dir_.filePath("text.md"));
    text.open(QIODevice::WriteOnly);
    text.write(options.text.toUtf8());
    text.close();
    writeSettings(options);
    writeScript(options);
    run({"-f", "/dev/null", "new-session", "-d", "-x", QString::number(options.columns), "-y",
         QString::number(options.rows), "bash " + dir_.filePath("run.sh")});
    run({"pipe-pane", "-o", "cat >> '" + dir_.filePath("output") + "'"});
    QFile go(dir_.filePath("go"));
    go.open(QIODevice::WriteOnly);
}

TmuxSession::~TmuxSession() {
    run({"kill-server"});
}

void TmuxSession::writeSettings(const Options& options) const {
    JsonFileDefaultsStore store(dir_.filePath("config/blinkwit/defaults.json"));
    AppSettings settings(store);
    settings.setWpm(options.wpm);
    settings.setDarkTheme(options.darkTheme);
}

void TmuxSession::writeScript(const Options& options) const {
    const QString program = QStringLiteral(BLINKWIT_EXECUTABLE);
    const QString launch =
        QStringLiteral("sh -c 'echo $$ > pid; exec \"$0\" \"$@\"' env -u NO_COLOR "
                       "XDG_CONFIG_HOME=\"$dir/config\" COLORTERM=truecolor "
                       "TERM=tmux-256color '%1' read --terminal")
            .arg(program);
    const QString start = options.throughPipe ? "cat text.md | " + launch : launch + " text.md";
    QFile script(dir_.filePath("run.sh"));
    script.open(QIODevice::WriteOnly);
    // Job control on, as in an interactive shell: Ctrl+Z stops the program and the script
    // carries on; it continues the program (fg) once the test asks for it.
    script.write(QStringLiteral("set -m\n"
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

QString TmuxSession::readFile(const QString& name) const {
    QFile file(dir_.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

void TmuxSession::sendKeys(const QStringList& keys) const {
    for (const QString& key : keys)
        run({"send-keys", key});
}

void TmuxSession::sendLiteral(const QString& bytes) const {
    run({"send-keys", "-l", bytes});
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
    const QDeadlineTimer deadline(waitLimitMs);
    while (!deadline.hasExpired()) {
        if (predicate(screen()))
            return true;
        QThread::msleep(pollMs);
    }
    return false;
}

bool TmuxSession::waitForText(const QString& text) const {
    return waitFor([&text](const QStringList& rows) { return rows.join('\n').contains(text); });
}

qint64 TmuxSession::programPid() const {
    const QDeadlineTimer deadline(waitLimitMs);
    while (readFile("pid").isEmpty() && !deadline.hasExpired())
        QThread::msleep(pollMs);
    return readFile("pid").toLongLong();
}

bool TmuxSession::waitForExit() const {
    const QDeadlineTimer deadline(waitLimitMs);
    while (!QFile::exists(dir_.filePath("status")) && !deadline.hasExpired())
        QThread::msleep(pollMs);
    return waitForText("shell prompt is back");
}

int TmuxSession::exitStatus() const {
    const QString status = readFile("status");
    return status.isEmpty() ? -1 : status.toInt();
}

QString TmuxSession::modesBefore() const {
    return readFile("modes-before");
}
QString TmuxSession::modesAfter() const {
    return readFile("modes-after");
}
QString TmuxSession::modesWhileStopped() const {
    return readFile("modes-stopped");
}

void TmuxSession::continueStopped() const {
    QFile resume(dir_.filePath("resume"));
    resume.open(QIODevice::WriteOnly);
}

// Replays the program's output on a grid of rows: it positions the cursor at the start of a row
// and writes the whole row, so row text and clears are all that matter here.
std::vector<QStringList> TmuxSession::recordedFrames() const {
    // The recording ends once the program has left the alternate screen.
    const QDeadlineTimer deadline(waitLimitMs);
    QString output;
    while (!output.contains(QStringLiteral("\x1b[?1049l")) && !deadline.hasExpired()) {
        QThread::msleep(pollMs);
        QFile file(dir_.filePath("output"));
        file.open(QIODevice::ReadOnly);
        output = QString::fromUtf8(file.readAll());
    }
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
