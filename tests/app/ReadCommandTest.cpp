#include "app/ReadCommand.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

namespace Blinkwit {
namespace {

using Source = ReadCommand::Source;

TEST(ReadCommandTest, ArgumentsNameOneSourceAndMayAskForTheTerminal) {
    std::string error;
    const auto parse = [&error](std::vector<std::string_view> args) {
        return ReadCommand::parse(args, error);
    };
    for (const auto& [args, source, named, path, terminal] :
         {std::tuple{std::vector<std::string_view>{}, Source::standardInput, false, "", false},
          {{"-"}, Source::standardInput, true, "", false},
          {{"--clipboard"}, Source::clipboard, true, "", false},
          {{"notes.md"}, Source::file, true, "notes.md", false},
          {{"--terminal", "notes.md"}, Source::file, true, "notes.md", true}}) {
        const auto parsed = parse(args);
        ASSERT_TRUE(parsed) << error;
        EXPECT_EQ(parsed->source, source) << path;
        EXPECT_EQ(parsed->sourceNamed, named) << path;
        if (source == Source::file) {
            EXPECT_EQ(parsed->path, path);
        }
        EXPECT_EQ(parsed->terminal, terminal) << path;
    }
    EXPECT_TRUE(ReadCommand::wantsTerminal({"-", "--terminal"}));
    EXPECT_FALSE(ReadCommand::wantsTerminal({"--clipboard"}));

    EXPECT_FALSE(parse({"--bogus"}));
    EXPECT_EQ(error, "unknown option '--bogus'");
    EXPECT_FALSE(parse({"a.md", "b.md"}));
    EXPECT_FALSE(parse({"--clipboard", "a.md"}));
    EXPECT_EQ(error, "more than one text to read: 'a.md'");
    EXPECT_FALSE(parse({""})) << "an empty name is no file, and not standard input either";
    EXPECT_EQ(error, "the file name is empty");
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
    EXPECT_EQ(missing.standardError, QStringLiteral("blinkwit: cannot read '%1': No such file or "
                                                    "directory\n")
                                         .arg(config.filePath(QStringLiteral("none.md"))));
    const Outcome directory = runBlinkwit({config.path()}, environment);
    EXPECT_EQ(directory.exitCode, 1);
    EXPECT_EQ(directory.standardError,
              QStringLiteral("blinkwit: cannot read '%1': is a directory\n").arg(config.path()));

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
