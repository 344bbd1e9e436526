#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace Blinkwit::Testing {

// Whether the tests run on a real X server (scripts/with-display provides one).
bool x11Available();

// Runs a command line tool to its end while the event loop keeps serving our selections;
// returns its standard output, or nothing when it failed.
std::optional<QString> runTool(const QString& program, const QStringList& arguments);

// Spins the event loop until the condition holds or the limit passes; a failing test stops
// there instead of hanging.
bool waitFor(const std::function<bool()>& condition, int limitMilliseconds = 5000);

// A helper program that runs beside the test and prints "ready" once it has done its part.
class ChildProcess {
public:
    ChildProcess(const QString& program, const QStringList& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The child's first line of output, once it arrived.
    QString firstLine();

private:
    QProcess process_;
};

} // namespace Blinkwit::Testing
