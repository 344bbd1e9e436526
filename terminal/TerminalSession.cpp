#include "TerminalSession.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace Blinkwit {

namespace {

// Alternate screen, hidden cursor, no automatic wrap at the right edge (writing the last cell
// of the last row must not scroll), mouse button reports in SGR form (for the progress bar),
// bracketed paste (so that pasted text cannot pass for keys).
constexpr std::string_view enterSequence =
    "\x1b[?1049h\x1b[?25l\x1b[?7l\x1b[?1000h\x1b[?1006h\x1b[?2004h";
constexpr std::string_view restoreSequence =
    "\x1b[?2004l\x1b[?1006l\x1b[?1000l\x1b[0m\x1b[?2026l\x1b[?7h\x1b[?25h\x1b[?1049l";

// Handled on the event loop: every signal whose default action ends the process (it ends the
// reader instead, the terminal restored), resize, and stop and continue for job control.
constexpr std::array<int, 13> forwardedSignals{SIGINT,   SIGTERM, SIGHUP,  SIGQUIT,   SIGUSR1,
                                               SIGUSR2,  SIGPIPE, SIGALRM, SIGVTALRM, SIGPROF,
                                               SIGWINCH, SIGTSTP, SIGCONT};
constexpr std::array<int, 9> crashSignals{SIGSEGV, SIGBUS,  SIGFPE,  SIGILL, SIGABRT,
                                          SIGTRAP, SIGXCPU, SIGXFSZ, SIGSYS};

// State the signal handlers need; only async-signal-safe calls touch it there.
volatile std::sig_atomic_t sessionActive = 0;
int sessionFd = -1;
termios savedModes{};
std::array<int, 2> signalPipe{-1, -1};
std::array<struct sigaction, NSIG> previousActions{};

void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        bytes.remove_prefix(std::size_t(written));
    }
}

void restoreTerminal() {
    if (sessionActive == 0)
        return;
    sessionActive = 0;
    writeAll(sessionFd, restoreSequence);
    ::tcsetattr(sessionFd, TCSANOW, &savedModes);
}

void forwardSignal(int signal) {
    const int savedErrno = errno;
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void crashed(int signal) {
    const int savedErrno = errno;
    restoreTerminal();
    ::sigaction(signal, &previousActions[std::size_t(signal)], nullptr);
    ::raise(signal);
    errno = savedErrno;
}

void handle(int signal, void (*handler)(int), struct sigaction* previous = nullptr) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(signal, &action, previous);
}

void install(int signal, void (*handler)(int)) {
    handle(signal, handler, &previousActions[std::size_t(signal)]);
}

void uninstall(int signal) {
    ::sigaction(signal, &previousActions[std::size_t(signal)], nullptr);
}

bool openSignalPipe() {
    if (signalPipe[0] >= 0)
        return true;
    if (::pipe2(signalPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe = {-1, -1};
        return false;
    }
    return true;
}

termios rawModes(termios modes) {
    modes.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
    modes.c_oflag &= ~tcflag_t(OPOST);
    modes.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    modes.c_cc[VMIN] = 1;
    modes.c_cc[VTIME] = 0;
    return modes;
}

// The reader redraws its screen in place; a terminal that cannot move the cursor (TERM=dumb, an
// editor's shell buffer) or that names no type would show a scroll of escape codes instead.
std::optional<QString> unusableTerminalType() {
    const char* term = std::getenv("TERM");
    if (term == nullptr || *term == '\0')
        return QStringLiteral("TERM is not set");
    if (std::string_view(term) == "dumb")
        return QStringLiteral("TERM is dumb");
    return std::nullopt;
}

} // namespace

std::unique_ptr<TerminalSession> TerminalSession::open(QString& error) {
    if (sessionActive != 0) {
        error = QStringLiteral("the terminal is already in use");
        return nullptr;
    }
    const int readFd = ::open("/dev/tty", O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    const int writeFd = readFd < 0 ? -1 : ::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC);
    termios modes{};
    if (readFd < 0 || writeFd < 0 || ::tcgetattr(writeFd, &modes) != 0 || !openSignalPipe()) {
        error = QStringLiteral("no terminal to read keys from (%1)")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
        if (readFd >= 0)
            ::close(readFd);
        if (writeFd >= 0)
            ::close(writeFd);
        return nullptr;
    }
    if (const auto problem = unusableTerminalType()) {
        error = QStringLiteral("the terminal reader needs a terminal that can redraw its screen "
                               "(%1); blinkwit read FILE opens the reader panel instead")
                    .arg(*problem);
        ::close(readFd);
        ::close(writeFd);
        return nullptr;
    }
    savedModes = modes;
    std::unique_ptr<TerminalSession> session(new TerminalSession(readFd, writeFd));
    session->enter();
    return session;
}

TerminalSession::TerminalSession(int readFd, int writeFd)
    : readFd_(readFd)
    , writeFd_(writeFd) {}

TerminalSession::~TerminalSession() {
    restore();
    ::close(readFd_);
    ::close(writeFd_);
}

void TerminalSession::enter() {
    sessionFd = writeFd_;
    for (int signal : forwardedSignals)
        install(signal, forwardSignal);
    for (int signal : crashSignals)
        install(signal, crashed);
    takeOver();
    active_ = true;

    keyNotifier_ = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
    connect(keyNotifier_.get(), &QSocketNotifier::activated, this, [this] { readKeys(); });
    signalNotifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(signalNotifier_.get(), &QSocketNotifier::activated, this, [this] { readSignals(); });
}

void TerminalSession::takeOver() {
    const termios raw = rawModes(savedModes);
    ::tcsetattr(writeFd_, TCSANOW, &raw);
    sessionActive = 1;
    writeAll(writeFd_, enterSequence);
}

void TerminalSession::suspend() {
    if (!active_)
        return;
    restoreTerminal();
    handle(SIGTSTP, SIG_DFL);
    // The process stops here until it is continued (the shell's fg). In a process group
    // without job control the kernel drops the stop and this returns at once.
    ::raise(SIGTSTP);
    handle(SIGTSTP, forwardSignal);
    takeOver();
    emit resized();
}

void TerminalSession::restore() {
    if (!active_)
        return;
    active_ = false;
    // Disabled, not deleted: restore() may run inside one of their own signals.
    keyNotifier_->setEnabled(false);
    signalNotifier_->setEnabled(false);
    // Block the handlers while the shared state changes, so none of them sees half of it.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    ::sigprocmask(SIG_BLOCK, &all, &previous);
    restoreTerminal();
    for (int signal : crashSignals)
        uninstall(signal);
    for (int signal : forwardedSignals)
        uninstall(signal);
    ::sigprocmask(SIG_SETMASK, &previous, nullptr);
}

TerminalSize TerminalSession::size() const {
    winsize window{};
    if (::ioctl(writeFd_, TIOCGWINSZ, &window) != 0 || window.ws_col == 0 || window.ws_row == 0)
        return TerminalSize{};
    return TerminalSize{window.ws_col, window.ws_row};
}

void TerminalSession::write(std::string_view bytes) {
    if (active_)
        writeAll(writeFd_, bytes);
}

void TerminalSession::readKeys() {
    std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t count = ::read(readFd_, buffer.data(), buffer.size());
        if (count > 0) {
            emit keyBytes(QByteArray(buffer.data(), qsizetype(count)));
            if (!active_)
                return;
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        // End of file or an error: the terminal is gone.
        keyNotifier_->setEnabled(false);
        emit terminationRequested(0);
        return;
    }
}

void TerminalSession::readSignals() {
    std::array<char, 64> buffer{};
    ssize_t count = 0;
    while (active_ && (count = ::read(signalPipe[0], buffer.data(), buffer.size())) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            const int signal = buffer[std::size_t(i)];
            if (signal == SIGWINCH) {
                emit resized();
            } else if (signal == SIGTSTP) {
                emit suspendRequested();
            } else if (signal == SIGCONT) {
                // Continued after a stop we did not ask for: the shell may have reset the modes.
                takeOver();
                emit resized();
            } else {
                emit terminationRequested(signal);
            }
        }
    }
}

} // namespace Blinkwit
