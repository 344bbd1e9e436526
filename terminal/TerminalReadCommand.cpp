#include "TerminalReadCommand.h"

#include "TerminalReader.h"
#include "TerminalSession.h"
#include "core/TextPreprocessor.h"
#include "platform/InputText.h"
#include "platform/QtScheduler.h"
#include "reader/ReaderEngine.h"
#include "reader/TextPreparation.h"
#include "settings/AppSettings.h"
#include "settings/HistoryStore.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <unistd.h>

namespace Blinkwit {

namespace {

constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

void complain(const QString& message) {
    std::fprintf(stderr, "blinkwit: %s\n", message.toLocal8Bit().constData());
}

BlinkwitCore::TextPreprocessor::Options optionsFrom(const AppSettings& settings) {
    using BlinkwitCore::TextPreprocessor;
    const std::string mode = settings.codeBlockModeRaw().toStdString();
    TextPreprocessor::Options options;
    options.codeBlockMode =
        TextPreprocessor::fromRaw(mode).value_or(TextPreprocessor::CodeBlockMode::placeholder);
    return options;
}

} // namespace

int TerminalReadCommand::run(const std::vector<std::string_view>& arguments) {
    std::optional<std::string_view> source;
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
    if (source && source->empty()) {
        complain(QStringLiteral("read: the file name is empty"));
        return exitUsage;
    }
    // Nothing named and nothing piped in: waiting for typed text would look like a hang.
    if (!source && ::isatty(STDIN_FILENO)) {
        complain(QStringLiteral("no text to read: name a FILE, or pipe text in"));
        return exitUsage;
    }
    std::string error;
    std::optional<std::string> text = InputText::read(std::string(source.value_or("-")), error);
    if (!text) {
        complain(QString::fromLocal8Bit(error));
        return exitFailure;
    }

    int argc = 1;
    char name[] = "blinkwit";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    // Before the reader's screen: what is wrong with the settings file is told on the normal one.
    AppSettings& settings = AppSettings::shared();
    QString sessionError;
    std::unique_ptr<TerminalSession> session = TerminalSession::open(sessionError);
    if (!session) {
        complain(sessionError);
        return exitFailure;
    }
    QStringList notices;
    JsonFileDefaultsStore::standard().setNoticeSink(
        [&notices](const QString& notice) { notices << notice; });
    QtScheduler scheduler;
    ReaderEngine engine(settings, scheduler);
    TerminalReader reader(*session, engine, settings, scheduler,
                          TerminalColor::detectFromEnvironment());
    TextPreparation preparation(engine);
    QObject::connect(&reader, &TerminalReader::quitRequested, &application,
                     [](int status) { QCoreApplication::exit(status); });
    QObject::connect(&preparation, &TextPreparation::ready,
                     [](const std::string& text, bool anyTokens) {
                         if (anyTokens)
                             HistoryStore::shared().add(QString::fromStdString(text));
                     });
    preparation.start(std::move(*text), optionsFrom(settings));
    const int status = QCoreApplication::exec();
    session->restore();
    JsonFileDefaultsStore::standard().setNoticeSink(complain);
    for (const QString& notice : std::as_const(notices))
        complain(notice);
    // Ended while a long text was still being split: waiting for the worker would keep the shell
    // waiting for nothing. The settings were written when the event loop ended.
    if (preparation.busy()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace Blinkwit
