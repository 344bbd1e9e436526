#include "update/UpdateInstaller.h"

#include "update/SwapScript.h"
#include "update/UpdateTexts.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace Blinkwit {
namespace {

using Case = UpdateError::Case;

// Answers each tool by its role; "unpack" leaves a Blinkwit.app unless told otherwise.
class ScriptedTools final : public ToolRunner {
public:
    Result run(const QString& path, const QStringList& arguments) override {
        calls.append(QStringList{path} + arguments);
        const QString role = path == "/bin/cp"     ? "cp"
                             : path == "/bin/bash" ? "bash"
                                                   : arguments.value(1);
        if (role == "unpack" && unpackLeavesApp)
            QDir().mkpath(arguments[3] + "/Blinkwit.app");
        return results.count(role) ? results[role] : Result{0, {}};
    }

    std::map<QString, Result> results{
        {"describe",
         {0, "Executable=x\nTeamIdentifier=ABCDEFGHIJ\nIdentifier=com.blinkwit.app\n"}}};
    bool unpackLeavesApp = true;
    QList<QStringList> calls;
};

class UpdateInstallerTest : public ::testing::Test {
protected:
    UpdateInstaller
    installer(std::optional<QString> bundle = QStringLiteral("/home/u/Applications/Blinkwit.app")) {
        return UpdateInstaller(
            tools, RunningCopy{"/run/blinkwit", bundle, "ABCDEFGHIJ", [this] { return location; }},
            temp.path());
    }
    QStringList leftovers(const char* pattern) const {
        return QDir(temp.path()).entryList({pattern}, QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    QTemporaryDir temp;
    ScriptedTools tools;
    RunningCopy::Location location = RunningCopy::Location::installed;
};

TEST_F(UpdateInstallerTest, StagingRunsTheChecksInOrderAndRemovesTheUnpackedImage) {
    const auto staged = installer().verifyAndStage("/tmp/Blinkwit-X.tar");
    ASSERT_TRUE(std::holds_alternative<QString>(staged));
    const QString stage = temp.path() + "/" + leftovers("BlinkwitStage-*").value(0);
    EXPECT_EQ(std::get<QString>(staged), stage + "/Blinkwit.app");
    const QString app = tools.calls.value(2).value(3);
    EXPECT_TRUE(QFileInfo(app).path().contains(QRegularExpression(
        "/BlinkwitUpdate-[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")));
    const QList<QStringList> expected{
        {"/run/blinkwit", "image", "assess", "/tmp/Blinkwit-X.tar"},
        {"/run/blinkwit", "image", "unpack", "/tmp/Blinkwit-X.tar", QFileInfo(app).path()},
        {"/run/blinkwit", "bundle", "verify", app},
        {"/run/blinkwit", "bundle", "describe", app},
        {"/bin/cp", "-a", app, stage + "/Blinkwit.app"},
    };
    EXPECT_EQ(tools.calls, expected);
    EXPECT_EQ(leftovers("BlinkwitUpdate-*"), QStringList());
}

TEST_F(UpdateInstallerTest, EachCheckStopsAtItsFailureWithItsError) {
    const ToolRunner::Result failed{1, "  tool says no \n"};
    const struct {
        const char* role;
        ToolRunner::Result result;
        bool leavesApp;
        UpdateError expected;
        int calls;
    } cases[] = {
        {"assess", failed, true, UpdateError(Case::gatekeeperRejected, "tool says no"), 1},
        {"assess",
         {-1, "No such file or directory"},
         true,
         UpdateError(Case::gatekeeperRejected, "No such file or directory"),
         1},
        {"unpack", failed, true, UpdateError(Case::mountFailed, "tool says no"), 2},
        {"unpack", {0, {}}, false, UpdateError(Case::noAppInside), 2},
        {"verify", failed, true, UpdateError(Case::gatekeeperRejected, "tool says no"), 3},
        {"describe",
         {1, "Identifier=com.blinkwit.app"},
         true,
         UpdateError(Case::wrongTeam, UpdateTexts::unknownTeam),
         4},
        {"describe",
         {0, "TeamIdentifier=ZZZZZZZZZZ\nIdentifier=com.blinkwit.app"},
         true,
         UpdateError(Case::wrongTeam, "ZZZZZZZZZZ"),
         4},
        {"describe",
         {0, "TeamIdentifier=ABCDEFGHIJ"},
         true,
         UpdateError(Case::wrongTeam, UpdateTexts::unknownBundle),
         4},
        {"describe",
         {0, "Identifier= org.other \nTeamIdentifier=ABCDEFGHIJ"},
         true,
         UpdateError(Case::wrongTeam, "org.other"),
         4},
        {"cp", failed, true, UpdateError(Case::copyFailed, "tool says no"), 5},
    };
    for (const auto& each : cases) {
        tools = ScriptedTools();
        tools.results[each.role] = each.result;
        tools.unpackLeavesApp = each.leavesApp;
        const auto outcome = installer().verifyAndStage("/tmp/i.tar");
        ASSERT_TRUE(std::holds_alternative<UpdateError>(outcome)) << each.role;
        EXPECT_EQ(std::get<UpdateError>(outcome).description(), each.expected.description());
        EXPECT_EQ(tools.calls.size(), each.calls) << each.role;
        EXPECT_EQ(leftovers("BlinkwitUpdate-*"), QStringList());
    }
    EXPECT_EQ(std::get<UpdateError>(installer(std::nullopt).verifyAndStage("/tmp/i.tar")).kind(),
              Case::notInstalled);
}

TEST_F(UpdateInstallerTest, TheSwapWritesItsScriptAndStartsItInTheBackgroundOnlyWhenInstalled) {
    const struct {
        RunningCopy::Location location;
        std::optional<QString> bundle;
        const char* where;
    } refused[] = {
        {RunningCopy::Location::diskImage, "/media/u/Blinkwit.app", UpdateTexts::fromDiskImage},
        {RunningCopy::Location::translocated, "/tmp/x/Blinkwit.app",
         UpdateTexts::fromTemporaryCopy},
        {RunningCopy::Location::installed, std::nullopt, UpdateTexts::fromBuildFolder},
    };
    for (const auto& each : refused) {
        location = each.location;
        const QString staged = temp.filePath("BlinkwitStage-1/Blinkwit.app");
        QDir().mkpath(staged);
        EXPECT_EQ(installer(each.bundle).swapAndRelaunch(staged),
                  UpdateError(Case::notInstalled, QString::fromUtf8(each.where)).description());
        EXPECT_FALSE(QFileInfo::exists(temp.filePath("BlinkwitStage-1")));
    }
    EXPECT_TRUE(tools.calls.isEmpty());
    EXPECT_EQ(leftovers("blinkwit-swap-*"), QStringList());

    location = RunningCopy::Location::installed;
    EXPECT_EQ(installer().swapAndRelaunch("/s/Blinkwit.app"), std::nullopt);
    const QString script = temp.path() + "/" + leftovers("blinkwit-swap-*.sh").value(0);
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              SwapScript::text("/home/u/Applications/Blinkwit.app", "/s/Blinkwit.app", 0).toUtf8());
    EXPECT_EQ(file.permissions() & 0x7777, QFile::Permissions(0x7755));
    EXPECT_EQ(tools.calls.value(0),
              (QStringList{"/bin/bash", "-c",
                           "nohup '" + script + "' >'" + UpdateInstaller::logPath() + "' 2>&1 &"}));

    tools.results["bash"] = {-1, "bash is missing"};
    EXPECT_EQ(installer().swapAndRelaunch("/s/Blinkwit.app"), "bash is missing");
}

} // namespace
} // namespace Blinkwit
