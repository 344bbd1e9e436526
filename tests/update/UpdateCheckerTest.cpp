#include "update/UpdateChecker.h"

#include "UpdateFakes.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/support/ManualScheduler.h"
#include "update/UpdateTexts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Kind = UpdateState::Kind;

QByteArray manifestJson(const QString& version, const QString& commit = QStringLiteral("c1"),
                        const QString& sha256 = {}) {
    return QStringLiteral(
               R"({"version":"%1","build":"9","commit":"%2","dmg":"https://u.example/B.tar"%3})")
        .arg(version, commit,
             sha256.isNull() ? QString() : QStringLiteral(R"(,"sha256":"%1")").arg(sha256))
        .toUtf8();
}

class UpdateCheckerTest : public ::testing::Test {
protected:
    std::unique_ptr<UpdateChecker> make(UpdateChecker::RunningBuild build) {
        return std::make_unique<UpdateChecker>(UpdateChecker::Services{
            http, scheduler, defaults, installer, [this] { return automatic; }, std::move(build),
            QUrl("https://u.example/build.json"), temp.path()});
    }
    // The state after the checker found this manifest on a user's check.
    Kind found(const QByteArray& json) {
        checker->check(true);
        http.answer(200, json);
        return checker->state().kind;
    }
    QStringList leftovers() const { return QDir(temp.path()).entryList(QDir::Files); }

    QTemporaryDir temp;
    Testing::FakeHttpClient http;
    Testing::ManualScheduler scheduler;
    InMemoryDefaultsStore defaults;
    Testing::FakeInstaller installer;
    bool automatic = true;
    std::unique_ptr<UpdateChecker> checker = make({QStringLiteral("1.0.0"), QStringLiteral("c1")});
};

TEST_F(UpdateCheckerTest, AutomaticChecksRunFiveSecondsAfterStartThenDailyWhileSwitchedOn) {
    defaults.setValue("lastUpdateCheck", QDateTime::currentDateTimeUtc());
    checker->startAutomaticChecks();
    scheduler.advance(4.9);
    EXPECT_TRUE(http.gets.empty());
    scheduler.advance(0.1);
    ASSERT_EQ(http.gets.size(), 1u);
    EXPECT_EQ(http.gets[0].idle, std::chrono::seconds(20));
    // Still checking at the first daily firing: an automatic check leaves a busy flow alone.
    scheduler.advance(86400.0 - 5.0);
    EXPECT_EQ(http.gets.size(), 1u);
    http.answer(200, manifestJson("1.0.0"));
    EXPECT_EQ(checker->state().kind, Kind::upToDate);
    scheduler.advance(86400.0);
    EXPECT_EQ(http.gets.size(), 2u);
    http.answer(200, manifestJson("1.0.0"));
    automatic = false;
    scheduler.advance(86400.0);
    EXPECT_EQ(http.gets.size(), 2u);
    automatic = true;
    scheduler.advance(86400.0);
    EXPECT_EQ(http.gets.size(), 3u);

    // Switched off at start: never, even when switched on later.
    automatic = false;
    auto quiet = make({});
    quiet->startAutomaticChecks();
    automatic = true;
    scheduler.advance(3 * 86400.0);
    EXPECT_EQ(http.gets.size(), 3u);
}

TEST_F(UpdateCheckerTest, AnAnswerIsUsedOnlyWithStatus200AndAFailureSpeaksOnlyToTheUser) {
    const QString prefix = QString::fromUtf8(UpdateTexts::unreachablePrefix);
    const struct {
        bool user;
        int status;
        QByteArray body;
        QString error;
        UpdateState expected;
    } cases[] = {
        {true,
         404,
         manifestJson("2.0"),
         {},
         UpdateState::failed(prefix + UpdateTexts::unexpectedAnswer)},
        {false, 404, manifestJson("2.0"), {}, UpdateState::idle()},
        {true, 0, {}, "Connection refused", UpdateState::failed(prefix + "Connection refused")},
        {false, 0, {}, "Connection refused", UpdateState::idle()},
        {true,
         200,
         R"({"version":"2.0"})",
         {},
         UpdateState::failed(prefix + "The build manifest has no \"build\".")},
    };
    for (const auto& each : cases) {
        checker->check(each.user);
        if (each.error.isEmpty())
            http.answer(each.status, each.body);
        else
            http.gets.back().done({std::nullopt, each.error});
        EXPECT_EQ(checker->state(), each.expected) << each.status << each.user;
    }
    EXPECT_FALSE(checker->lastChecked());
    EXPECT_FALSE(defaults.value("lastUpdateCheck").isValid());

    EXPECT_EQ(found(manifestJson("1.0.1")), Kind::available);
    EXPECT_EQ(checker->state().manifest.version, "1.0.1");
    const QVariant stored = defaults.value("lastUpdateCheck");
    EXPECT_EQ(stored.typeId(), QMetaType::QDateTime);
    EXPECT_EQ(make({})->lastChecked(), stored.toDateTime());
}

TEST_F(UpdateCheckerTest, NewerMeansAHigherVersionOrTheSameVersionFromAnotherCommit) {
    EXPECT_EQ(found(manifestJson("1.10.0")), Kind::available);
    EXPECT_EQ(found(manifestJson("1.0")), Kind::upToDate);
    EXPECT_EQ(found(manifestJson("1.0.0", "c1")), Kind::upToDate);
    EXPECT_EQ(found(manifestJson("1.0.0", "c2")), Kind::available);
    checker = make({QStringLiteral("1.9.3"), std::nullopt});
    EXPECT_EQ(found(manifestJson("1.10.0")), Kind::available);
    EXPECT_EQ(found(manifestJson("1.9.3", "")), Kind::upToDate);
    EXPECT_EQ(found(manifestJson("1.9.3", "c1")), Kind::available);
    checker = make({});
    EXPECT_EQ(found(manifestJson("0.0.1")), Kind::available);
}

TEST_F(UpdateCheckerTest, OnlyADownloadRefusesAUsersCheckAndAnInsecureAddressIsNeverAsked) {
    checker->check(true);
    checker->check(false);
    EXPECT_EQ(http.gets.size(), 1u);
    checker->check(true);
    EXPECT_EQ(http.gets.size(), 2u);
    http.answer(200, manifestJson("1.0.1"));
    checker->install(checker->state().manifest);
    checker->check(true);
    EXPECT_EQ(http.gets.size(), 2u);
    EXPECT_EQ(checker->state(), UpdateState::downloading(0.0));

    checker = std::make_unique<UpdateChecker>(
        UpdateChecker::Services{http,
                                scheduler,
                                defaults,
                                installer,
                                [] { return true; },
                                {},
                                QUrl("http://updates.example.com/build.json"),
                                temp.path()});
    checker->check(true);
    EXPECT_EQ(http.gets.size(), 2u);
    EXPECT_EQ(checker->state(),
              UpdateState::failed(QString::fromUtf8(UpdateTexts::unreachablePrefix) +
                                  UpdateTexts::insecureManifest));
}

TEST_F(UpdateCheckerTest, ADownloadReportsProgressThenIsCheckedHandedOverAndDeleted) {
    const QByteArray image = "image bytes";
    const QString digest = QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex();
    ASSERT_EQ(found(manifestJson("1.0.1", "c1", digest.toUpper())), Kind::available);
    checker->install(checker->state().manifest);
    ASSERT_EQ(http.downloads.size(), 1u);
    EXPECT_TRUE(QFileInfo(http.downloads[0].file).fileName().startsWith("Blinkwit-"));
    http.downloads[0].progress(50, -1);
    scheduler.advance(0.0);
    EXPECT_EQ(checker->state(), UpdateState::downloading(0.0));
    http.downloads[0].progress(456, 1000);
    scheduler.advance(0.0);
    EXPECT_EQ(checker->state(), UpdateState::downloading(0.456));

    http.deliver(image);
    scheduler.advance(0.0);
    EXPECT_EQ(checker->state(), UpdateState::readyToRestart());
    EXPECT_EQ(installer.imageSeen, image);
    EXPECT_EQ(installer.swapped, "/staged/Blinkwit.app");
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(UpdateCheckerTest, EveryFailedHandOverSaysWhyAndLeavesNoImageBehind) {
    const QByteArray image = "image bytes";
    const QString digest = QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex();
    const UpdateError rejected(UpdateError::Case::gatekeeperRejected, "bad signature");
    const struct {
        QString sha256;
        QByteArray delivered;
        std::variant<QString, UpdateError> stage;
        std::optional<QString> swapError;
        QString expected;
        bool installerRan;
    } cases[] = {
        {digest, image + "!", QStringLiteral("/s"), {}, UpdateTexts::checksumMismatch, false},
        {QStringLiteral(""), image, rejected, {}, rejected.description(), true},
        {digest, image, QStringLiteral("/s"), QStringLiteral("Permission denied"),
         QStringLiteral("Permission denied"), true},
    };
    for (const auto& each : cases) {
        installer.stage = each.stage;
        installer.swapError = each.swapError;
        installer.imageSeen.clear();
        checker->install(
            BuildManifest::decode(manifestJson("1.0.1", "c1", each.sha256), nullptr).value());
        http.deliver(each.delivered);
        scheduler.advance(0.0);
        EXPECT_EQ(checker->state(), UpdateState::failed(each.expected))
            << each.expected.toStdString();
        EXPECT_EQ(!installer.imageSeen.isEmpty(), each.installerRan);
        EXPECT_EQ(leftovers(), QStringList());
    }
}

} // namespace
} // namespace Blinkwit
