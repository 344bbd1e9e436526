#include "app/ReadCommand.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Source = ReadCommand::Source;

std::optional<ReadCommand::Arguments> parse(std::vector<std::string_view> args,
                                            std::string* error = nullptr) {
    std::string message;
    auto result = ReadCommand::parse(args, message);
    if (error)
        *error = message;
    return result;
}

TEST(ReadCommandTest, ArgumentsNameOneSourceAndMayAskForTheTerminal) {
    EXPECT_EQ(parse({})->source, Source::standardInput);
    EXPECT_FALSE(parse({})->sourceNamed);
    EXPECT_EQ(parse({"-"})->source, Source::standardInput);
    EXPECT_TRUE(parse({"-"})->sourceNamed);
    EXPECT_EQ(parse({"--clipboard"})->source, Source::clipboard);
    const auto file = parse({"notes.md"});
    EXPECT_EQ(file->source, Source::file);
    EXPECT_EQ(file->path, "notes.md");
    EXPECT_FALSE(file->terminal);
    const auto terminal = parse({"--terminal", "notes.md"});
    EXPECT_TRUE(terminal->terminal);
    EXPECT_EQ(terminal->path, "notes.md");
    EXPECT_TRUE(ReadCommand::wantsTerminal({"-", "--terminal"}));
    EXPECT_FALSE(ReadCommand::wantsTerminal({"--clipboard"}));

    std::string error;
    EXPECT_FALSE(parse({"--bogus"}, &error));
    EXPECT_EQ(error, "unknown option '--bogus'");
    EXPECT_FALSE(parse({"a.md", "b.md"}, &error));
    EXPECT_FALSE(parse({"--clipboard", "a.md"}, &error));
    EXPECT_EQ(error, "more than one text to read: 'a.md'");
}

struct Outcome {
    int exitCode;
    QString standardError;
};

Outcome runBlinkwit(const QStringList& args, const QProcessEnvironment& environment) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(BLINKWIT_EXECUTABLE), QStringList{QStringLiteral("read")} + args);
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(20000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

TEST(ReadCommandTest, UnreadableFileOrNoDisplayEndWithOneLineAndExitOne) {
    QTemporaryDir config;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    const Outcome missing = runBlinkwit({config.filePath(QStringLiteral("none.md"))}, environment);
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.standardError, QStringLiteral("blinkwit: cannot read %1: No such file or "
                                                    "directory\n")
                                         .arg(config.filePath(QStringLiteral("none.md"))));
    const Outcome directory = runBlinkwit({config.path()}, environment);
    EXPECT_EQ(directory.exitCode, 1);
    EXPECT_TRUE(directory.standardError.contains(QStringLiteral("Is a directory")));

    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    const Outcome headless = runBlinkwit({QStringLiteral(BLINKWIT_SAMPLE)}, environment);
    EXPECT_EQ(headless.exitCode, 1);
    EXPECT_EQ(headless.standardError.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(headless.standardError.contains(QStringLiteral("needs a display")));

    environment.insert(QStringLiteral("DISPLAY"), QStringLiteral(":9999"));
    const Outcome unreachable = runBlinkwit({QStringLiteral(BLINKWIT_SAMPLE)}, environment);
    EXPECT_EQ(unreachable.exitCode, 1);
    EXPECT_TRUE(unreachable.standardError.contains(QStringLiteral("cannot open display :9999")));
}

} // namespace
} // namespace Blinkwit
