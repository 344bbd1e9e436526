#include "TerminalReadCommand.h"

#include "TerminalReader.h"
#include "TerminalSession.h"
#include "core/TextPreprocessor.h"
#include "platform/QtScheduler.h"
#include "reader/ReaderEngine.h"
#include "settings/AppSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
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
    const bool opened =
        standardInput
            ? file.open(stdin, QIODevice::ReadOnly)
            : (file.setFileName(QString::fromLocal8Bit(source.data(), qsizetype(source.size()))),
               file.open(QIODevice::ReadOnly));
    QByteArray bytes;
    if (opened)
        bytes = file.readAll();
    if (!opened || file.error() != QFileDevice::NoError) {
        const QString name = standardInput ? QStringLiteral("standard input")
                                           : QStringLiteral("'%1'").arg(file.fileName());
        complain(QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
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
    QString error;
    std::unique_ptr<TerminalSession> session = TerminalSession::open(error);
    if (!session) {
        complain(error);
        return exitFailure;
    }
    AppSettings& settings = AppSettings::shared();
    QtScheduler scheduler;
    ReaderEngine engine(settings, scheduler);
    TerminalReader reader(*session, engine, settings, scheduler,
                          TerminalColor::detectFromEnvironment());
    QObject::connect(&reader, &TerminalReader::quitRequested, &application,
                     [](int status) { QCoreApplication::exit(status); });
    engine.load(tokenise(*input.text, settings));
    const int status = QCoreApplication::exec();
    session->restore();
    return status;
}

} // namespace Blinkwit
