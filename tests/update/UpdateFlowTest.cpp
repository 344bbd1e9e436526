// The whole update flow with real parts: a release packaged with a throwaway key and
// "installed" in a temporary home, a newer one published on a loopback server, the checker on
// Qt Network, the installer running the installed program's own checks and the swap script.
#include "LoopbackServer.h"
#include "bundle/Bundle.h"
#include "platform/QProcessToolRunner.h"
#include "platform/QtHttpClient.h"
#include "platform/QtScheduler.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/bundle/ReleaseKit.h"
#include "tests/support/X11Testing.h"
#include "update/UpdateChecker.h"
#include "update/UpdateInstaller.h"
#include "update/UpdateTexts.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Kind = UpdateState::Kind;
using Testing::runProgram;

class UpdateFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(server.address().isEmpty());
        qputenv("HOME", home.path().toUtf8());
        qputenv("XDG_STATE_HOME", home.filePath(".local/state").toUtf8());
        qunsetenv("XDG_DATA_HOME");
        // The swap script starts the new copy as the tray program: without a display it ends at
        // once instead of holding hot keys on the display other tests share.
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
        QDir().mkpath(home.filePath("tmp"));
        signer.writePem(home.filePath("key.pem"));
        publish("1.0.1", signer);
        publishedImage = Testing::readFile(site.filePath("Blinkwit-1.0.1.tar"));
        publishedManifest = Testing::readFile(site.filePath("build.json"));
        ASSERT_EQ(Testing::package("1.0.0", home.filePath("key.pem"), home.filePath("v100"),
                                   server.address())
                      .status,
                  0);
        ASSERT_EQ(runProgram(BLINKWIT_EXECUTABLE,
                             {"image", "unpack", home.filePath("v100/Blinkwit-1.0.0.tar"),
                              home.filePath("Applications")})
                      .status,
                  0);
    }
    void publish(const QString& version, const Testing::TestSigner& by) {
        by.writePem(home.filePath("publish.pem"));
        const Testing::ToolRun run =
            Testing::package(version, home.filePath("publish.pem"), site.path(), server.address());
        ASSERT_EQ(run.status, 0) << run.output.toStdString();
    }
    // Checks, installs what it found, and returns the state the flow ends in.
    UpdateState update(RunningCopy::Location location = RunningCopy::Location::installed) {
        const Bundle bundle(installed);
        QProcessToolRunner tools;
        UpdateInstaller installer(tools,
                                  {bundle.executablePath(), bundle.path(),
                                   bundle.publicKey()->signerId(), [location] { return location; }},
                                  home.filePath("tmp"));
        QtHttpClient http;
        QtScheduler scheduler;
        InMemoryDefaultsStore defaults;
        UpdateChecker checker({http,
                               scheduler,
                               defaults,
                               installer,
                               [] { return true; },
                               {bundle.infoString("CFBundleShortVersionString"), std::nullopt},
                               QUrl(server.address() + "/build.json"),
                               home.filePath("tmp")});
        checker.check(true);
        EXPECT_TRUE(
            Testing::waitFor([&] { return checker.state().kind != Kind::checking; }, 10000));
        if (checker.state().kind != Kind::available)
            return checker.state();
        checker.install(checker.state().manifest);
        Testing::waitFor(
            [&] {
                return checker.state().kind == Kind::readyToRestart || !checker.state().isBusy();
            },
            30000);
        return checker.state();
    }
    QString installedVersion() const {
        return runProgram(BLINKWIT_EXECUTABLE, {"bundle", "describe", installed})
            .output.section("Version=", 1)
            .section('\n', 0, 0);
    }
    // Puts the release published at set-up back, as packaging it again would.
    void republish() {
        Testing::writeFile(site.filePath("Blinkwit-1.0.1.tar"), publishedImage);
        Testing::writeFile(site.filePath("build.json"), publishedManifest);
    }
    void changeAByte() {
        const QString image = site.filePath("Blinkwit-1.0.1.tar");
        QByteArray bytes = Testing::readFile(image);
        bytes[bytes.size() / 3] = char(bytes[bytes.size() / 3] ^ 1);
        Testing::writeFile(image, bytes);
    }
    void dropChecksum() {
        QJsonObject manifest =
            QJsonDocument::fromJson(Testing::readFile(site.filePath("build.json"))).object();
        manifest.remove("sha256");
        Testing::writeFile(site.filePath("build.json"), QJsonDocument(manifest).toJson());
    }
    // Images, unpacked images and staging folders; the swap script itself stays.
    QStringList leftovers() const {
        QDir tmp(home.filePath("tmp"));
        tmp.setFilter(QDir::AllEntries | QDir::CaseSensitive);
        return tmp.entryList({"Blinkwit*"});
    }

    QTemporaryDir home;
    QTemporaryDir site;
    Testing::LoopbackServer server{site.path()};
    Testing::TestSigner signer;
    QByteArray publishedImage;
    QByteArray publishedManifest;
    QString installed = home.filePath("Applications/Blinkwit.app");
};

TEST_F(UpdateFlowTest, InstallsThePublishedBuildInPlaceAndKeepsTheOldOneInTheTrash) {
    const QJsonObject manifest =
        QJsonDocument::fromJson(Testing::readFile(site.filePath("build.json"))).object();
    EXPECT_EQ(manifest["dmg"], server.address() + "/Blinkwit-1.0.1.tar");
    EXPECT_EQ(manifest["notes"], "Notes for 1.0.1");
    EXPECT_EQ(update(), UpdateState::readyToRestart());
    // The swap script runs on after the hand-over.
    EXPECT_TRUE(Testing::waitFor([&] { return installedVersion() == "1.0.1"; }, 20000));
    EXPECT_TRUE(Testing::waitFor([&] { return leftovers().isEmpty(); }, 5000))
        << leftovers().join(' ').toStdString();
    EXPECT_EQ(runProgram(BLINKWIT_EXECUTABLE, {"bundle", "verify", installed}).status, 0);
    const QDir trash(home.filePath(".local/share/Trash"));
    const QStringList trashed = QDir(trash.filePath("files")).entryList({"Blinkwit-*.app"});
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_TRUE(Testing::readFile(trash.filePath("files/" + trashed[0] + "/Info.json"))
                    .contains("\"1.0.0\""));
    EXPECT_TRUE(Testing::readFile(trash.filePath("info/" + trashed[0] + ".trashinfo"))
                    .contains("Path=" + installed.toUtf8()));
}

TEST_F(UpdateFlowTest, RefusedBuildsLeaveTheInstalledCopyAlone) {
    const QString prefix = "The signature check wouldn't vouch for the downloaded update image, so "
                           "Blinkwit left your copy alone. ";
    changeAByte();
    EXPECT_EQ(update(), UpdateState::failed(UpdateTexts::checksumMismatch));
    dropChecksum();
    EXPECT_EQ(update(), UpdateState::failed(
                            prefix + "rejected: the signature doesn't match the image's contents"));

    const Testing::TestSigner stranger;
    publish("1.0.1", stranger);
    EXPECT_EQ(update(),
              UpdateState::failed(
                  UpdateError(UpdateError::Case::wrongTeam, stranger.signerId()).description()));

    republish();
    ASSERT_EQ(
        runProgram(BLINKWIT_EXECUTABLE, {"image", "unpack", site.filePath("Blinkwit-1.0.1.tar"),
                                         home.filePath("changed")})
            .status,
        0);
    Testing::writeFile(home.filePath("changed/Blinkwit.app/share/extra.txt"), "x");
    const Testing::ToolRun archive =
        runProgram("tar", {"-C", home.filePath("changed"), "-I", "xz -1", "-cf",
                           home.filePath("changed.tar.xz"), "Blinkwit.app"});
    ASSERT_EQ(archive.status, 0) << archive.output.toStdString();
    Testing::writeFile(
        site.filePath("Blinkwit-1.0.1.tar"),
        Testing::updateImage(Testing::readFile(home.filePath("changed.tar.xz")), signer));
    dropChecksum();
    EXPECT_EQ(update(), UpdateState::failed(
                            prefix + "invalid: share/extra.txt isn't covered by the signature"));

    republish();
    EXPECT_EQ(
        update(RunningCopy::Location::diskImage),
        UpdateState::failed(UpdateError(UpdateError::Case::notInstalled, UpdateTexts::fromDiskImage)
                                .description()));

    EXPECT_EQ(installedVersion(), "1.0.0");
    EXPECT_EQ(runProgram(BLINKWIT_EXECUTABLE, {"bundle", "verify", installed}).status, 0);
    EXPECT_EQ(leftovers(), QStringList());
}

} // namespace
} // namespace Blinkwit
