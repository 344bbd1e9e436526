#include "TerminalReadCommand.h"

#include "TerminalReader.h"
#include "TerminalSession.h"
#include "core/TextPreprocessor.h"
#include "platform/QtScheduler.h"
#include "reader/ReaderEngine.h"
#include "settings/AppSettings.h"
#include "settings/HistoryStore.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace Blinkwit {

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

struct Input {
    std::optional<std::string> text;
    int status = 0;
};

void complain(const QString& message) {
    std::fprintf(stderr, "blinkwit: %s\n", message.toLocal8Bit().constData());
}

Input readInput(std::string_view source) {
    QFile file;
    const bool standardInput = source.empty() || source == "-";
    if (standardInput && source.empty() && ::isatty(STDIN_FILENO)) {
        complain(QStringLiteral("no text to read: name a FILE, or pipe text in"));
        return {std::nullopt, exitUsage};
    }
    // The name goes to the system as given: file names need not be UTF-8.
    const int descriptor =
        standardInput ? -1 : ::open(std::string(source).c_str(), O_RDONLY | O_CLOEXEC);
    const int openError = errno;
    const bool opened = standardInput
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : descriptor >= 0 && file.open(descriptor, QIODevice::ReadOnly,
                                                           QFileDevice::AutoCloseHandle);
    QByteArray bytes;
    if (opened)
        bytes = file.readAll();
    if (!opened || file.error() != QFileDevice::NoError) {
        const QString name =
            standardInput
                ? QStringLiteral("standard input")
                : QStringLiteral("'%1'").arg(QString::fromLocal8Bit(source.data(), source.size()));
        const QString reason = descriptor < 0 && !standardInput
                                   ? QString::fromLocal8Bit(std::strerror(openError))
                                   : file.errorString();
        complain(QStringLiteral("cannot read %1: %2").arg(name, reason));
        return {std::nullopt, exitFailure};
    }
    return {bytes.toStdString(), 0};
}

std::vector<BlinkwitCore::Token> tokenise(const std::string& text, const AppSettings& settings) {
    using BlinkwitCore::TextPreprocessor;
    const std::string mode = settings.codeBlockModeRaw().toStdString();
    TextPreprocessor::Options options;
    options.codeBlockMode =
        TextPreprocessor::fromRaw(mode).value_or(TextPreprocessor::CodeBlockMode::placeholder);
    return TextPreprocessor::tokens(text, options);
}

} // namespace

int TerminalReadCommand::run(const std::vector<std::string_view>& arguments) {
    std::string_view source;
    int sources = 0;
    for (std::string_view argument : arguments) {
        if (argument == "--terminal")
            continue;
        if (argument.size() > 1 && argument.front() == '-') {
            complain(QStringLiteral("read: unknown option '%1'")
                         .arg(QString::fromLocal8Bit(argument.data(), qsizetype(argument.size()))));
            return exitUsage;
        }
        source = argument;
        ++sources;
    }
    if (sources > 1) {
        complain(QStringLiteral("read: name at most one FILE"));
        return exitUsage;
    }
    Input input = readInput(source);
    if (!input.text)
        return input.status;

    int argc = 1;
    char name[] = "blinkwit";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    // Before the reader's screen: what is wrong with the settings file is told on the normal one.
    AppSettings& settings = AppSettings::shared();
    QString error;
    std::unique_ptr<TerminalSession> session = TerminalSession::open(error);
    if (!session) {
        complain(error);
        return exitFailure;
    }
    QStringList notices;
    JsonFileDefaultsStore::standard().setNoticeSink(
        [&notices](const QString& notice) { notices << notice; });
    QtScheduler scheduler;
    ReaderEngine engine(settings, scheduler);
    TerminalReader reader(*session, engine, settings, scheduler,
                          TerminalColor::detectFromEnvironment());
    QObject::connect(&reader, &TerminalReader::quitRequested, &application,
                     [](int status) { QCoreApplication::exit(status); });
    std::vector<BlinkwitCore::Token> tokens = tokenise(*input.text, settings);
    if (!tokens.empty())
        HistoryStore::shared().add(QString::fromStdString(*input.text));
    engine.load(std::move(tokens));
    const int status = QCoreApplication::exec();
    session->restore();
    JsonFileDefaultsStore::standard().setNoticeSink(complain);
    for (const QString& notice : std::as_const(notices))
        complain(notice);
    return status;
}

} // namespace Blinkwit
