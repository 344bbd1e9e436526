#include "TimedProcess.h"

namespace Blinkwit {

TimedProcess::TimedProcess(Scheduler& scheduler, Completion completion, QObject* parent)
    : QObject(parent)
    , limit_(scheduler)
    , completion_(std::move(completion)) {}

void TimedProcess::run(const QString& program, const QStringList& arguments, double timeLimit,
                       Scheduler& scheduler, Completion completion, QObject* parent) {
    auto* run = new TimedProcess(scheduler, std::move(completion), parent);
    QProcess& process = run->process_;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    connect(&process, &QProcess::finished, run, [run](int status, QProcess::ExitStatus how) {
        const bool succeeded = how == QProcess::NormalExit && status == 0;
        run->finish(succeeded ? std::optional(run->process_.readAllStandardOutput())
                              : std::nullopt);
    });
    connect(&process, &QProcess::errorOccurred, run, [run](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            run->finish(std::nullopt);
    });
    run->limit_.startAfter(timeLimit, [run] { run->finish(std::nullopt); });
    process.start(program, arguments);
}

void TimedProcess::finish(std::optional<QByteArray> output) {
    if (!completion_)
        return;
    limit_.stop();
    const Completion completion = std::move(completion_);
    completion_ = nullptr;
    process_.disconnect(this);
    // Killed without waiting: the QProcess reaps it when it is deleted.
    if (process_.state() != QProcess::NotRunning)
        process_.kill();
    deleteLater();
    completion(std::move(output));
}

} // namespace Blinkwit
