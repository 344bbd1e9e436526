#include "WlClipboard.h"

#include "TimedProcess.h"

#include <QProcess>
#include <QStandardPaths>

namespace Blinkwit {

namespace {

QStringList selectionArguments(DataControl::Selection selection) {
    return selection == DataControl::Selection::primary ? QStringList{QStringLiteral("--primary")}
                                                        : QStringList();
}

} // namespace

WlClipboard::WlClipboard(Scheduler& scheduler, QObject* parent)
    : QObject(parent)
    , scheduler_(scheduler) {}

bool WlClipboard::isInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("wl-paste")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("wl-copy")).isEmpty();
}

// "--type text" takes the best text type on offer; nothing selected ends with status 1.
void WlClipboard::read(Selection selection, Completion completion) {
    const QStringList arguments = selectionArguments(selection) +
                                  QStringList{QStringLiteral("--no-newline"),
                                              QStringLiteral("--type"), QStringLiteral("text")};
    TimedProcess::run(
        QStringLiteral("wl-paste"), arguments, readLimit, scheduler_,
        [completion](std::optional<QByteArray> output) {
            if (!output || output->isEmpty())
                return completion(std::nullopt);
            completion(QString::fromUtf8(*output));
        },
        this);
}

// wl-copy serves the selection from a process of its own, which outlives this call.
void WlClipboard::write(Selection selection, const QString& text) {
    auto* copy = new QProcess(this);
    copy->setStandardOutputFile(QProcess::nullDevice());
    copy->setStandardErrorFile(QProcess::nullDevice());
    connect(copy, &QProcess::finished, copy, &QObject::deleteLater);
    connect(copy, &QProcess::errorOccurred, copy, &QObject::deleteLater);
    copy->start(QStringLiteral("wl-copy"), selectionArguments(selection));
    copy->write(text.toUtf8());
    copy->closeWriteChannel();
}

} // namespace Blinkwit
