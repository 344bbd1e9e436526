#include "update/SwapScript.h"

#include "platform/QProcessToolRunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

QString shell(const QString& command,
              const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess bash;
    bash.setProcessEnvironment(environment);
    bash.start("/bin/bash", {"-c", command});
    bash.waitForFinished(30000);
    return QString::fromUtf8(bash.readAllStandardOutput());
}

void write(const QString& path, const QByteArray& content, QFile::Permissions permissions = {}) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    if (permissions)
        file.setPermissions(permissions);
}

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

TEST(SwapScript, QuotingKeepsEveryCharacterForTheShellAndThePatternMatchesOnlyThePath) {
    for (const QString& text : {QStringLiteral("/tmp/it's here/Blinkwit.app"), QStringLiteral("''"),
                                QStringLiteral("a b\t$HOME `x` \\ \"q\"\nline")})
        EXPECT_EQ(shell("printf %s " + SwapScript::quoted(text)), text);
    const QString path = "/a (b)/c+d.app/bin/blinkwit";
    const QString pattern = SwapScript::literalPattern(path);
    EXPECT_EQ(shell("printf %s " + SwapScript::quoted(path) + " | grep -cE " +
                    SwapScript::quoted(pattern)),
              "1\n");
    EXPECT_EQ(shell("echo '/a (b)/cXd.app/bin/blinkwit' | grep -cE " + SwapScript::quoted(pattern)),
              "0\n");
}

TEST(SwapScript, EndsTheRunningCopyTrashesItAndStartsTheStagedOne) {
    QTemporaryDir home;
    const QString target = home.filePath("Applications/it's (mine)/Blinkwit.app");
    const QString stage = home.filePath("tmp/BlinkwitStage-1");
    write(target + "/bin/blinkwit", "old");
    write(stage + "/Blinkwit.app/bin/blinkwit", "#!/bin/sh\necho \"$0\" > \"$HOME/started\"\n",
          QFile::Permissions(0x7755));
    QProcess running;
    running.start("/bin/bash", {"-c", "exec -a \"$0\" sleep 60", target + "/bin/blinkwit"});
    ASSERT_TRUE(running.waitForStarted());
    // The copy asking for the swap, started through a link whose name hides the path.
    QProcess asking;
    asking.start("/bin/bash", {"-c", "exec -a blinkwit sleep 60"});
    ASSERT_TRUE(asking.waitForStarted());
    write(home.filePath("swap.sh"),
          SwapScript::text(target, stage + "/Blinkwit.app", asking.processId()).toUtf8());

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.remove("XDG_DATA_HOME");
    shell("bash " + SwapScript::quoted(home.filePath("swap.sh")), environment);

    EXPECT_TRUE(running.waitForFinished(5000)) << "the running copy was not ended";
    EXPECT_TRUE(asking.waitForFinished(5000)) << "the copy that asked was not ended";
    const QDir trash(home.filePath(".local/share/Trash"));
    const QStringList trashed =
        QDir(trash.filePath("files")).entryList({"Blinkwit-*.app"}, QDir::Dirs);
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_TRUE(QRegularExpression("^Blinkwit-\\d+\\.app$").match(trashed[0]).hasMatch());
    EXPECT_EQ(read(trash.filePath("files/" + trashed[0] + "/bin/blinkwit")), "old");
    const QString info = read(trash.filePath("info/" + trashed[0] + ".trashinfo"));
    EXPECT_TRUE(QRegularExpression(
                    "^\\[Trash "
                    "Info\\]\nPath=(.*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$")
                    .match(info)
                    .hasMatch())
        << info.toStdString();
    EXPECT_TRUE(info.contains("Path=" + QUrl::toPercentEncoding(target, "/") + "\n"));
    EXPECT_TRUE(read(target + "/bin/blinkwit").startsWith("#!/bin/sh"));
    EXPECT_FALSE(QFileInfo::exists(stage));
    for (int i = 0; i < 100 && !QFileInfo::exists(home.filePath("started")); ++i)
        QThread::msleep(50);
    EXPECT_EQ(read(home.filePath("started")), (target + "/bin/blinkwit\n").toUtf8());
}

TEST(QProcessToolRunner, ReturnsStatusAndBothStreamsOrTheStartError) {
    QProcessToolRunner runner;
    const ToolRunner::Result result =
        runner.run("/bin/sh", {"-c", "echo out; echo err >&2; exit 3"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.output, "out\nerr\n");
    const ToolRunner::Result missing = runner.run("/nonexistent/tool", {});
    EXPECT_EQ(missing.status, -1);
    EXPECT_FALSE(missing.output.isEmpty());
}

} // namespace
} // namespace Blinkwit
