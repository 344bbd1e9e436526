#pragma once

#include "Timer.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <functional>
#include <optional>

namespace Blinkwit {

// Runs a command line tool without blocking the event loop (the tool may be reading a selection
// that we own), and ends it at a time limit.
class TimedProcess final : public QObject {
    Q_OBJECT
public:
    // The tool's standard output when it ended by itself with status 0; nothing otherwise.
    using Completion = std::function<void(std::optional<QByteArray> output)>;

    // completion runs once, later, unless parent is destroyed first.
    static void run(const QString& program, const QStringList& arguments, double timeLimit,
                    Scheduler& scheduler, Completion completion, QObject* parent);

private:
    TimedProcess(Scheduler& scheduler, Completion completion, QObject* parent);
    void finish(std::optional<QByteArray> output);

    QProcess process_;
    Timer limit_;
    Completion completion_;
};

} // namespace Blinkwit
