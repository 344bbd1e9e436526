// The update flow over real HTTP: Qt Network against a server on 127.0.0.1.
#include "LoopbackServer.h"
#include "UpdateFakes.h"
#include "platform/QtHttpClient.h"
#include "platform/QtScheduler.h"
#include "settings/InMemoryDefaultsStore.h"
#include "tests/bundle/ReleaseKit.h"
#include "tests/support/X11Testing.h"
#include "update/UpdateChecker.h"
#include "update/UpdateTexts.h"

#include <QCryptographicHash>
#include <QDir>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Kind = UpdateState::Kind;

class UpdateNetworkTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(server.address().isEmpty());
        QFile file(site.filePath("image.tar"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(image);
    }
    std::unique_ptr<UpdateChecker> checker(const QString& manifestUrl) {
        auto made = std::make_unique<UpdateChecker>(
            UpdateChecker::Services{http,
                                    scheduler,
                                    defaults,
                                    installer,
                                    [] { return true; },
                                    {"1.0.0", "c1"},
                                    QUrl(manifestUrl),
                                    downloads.path(),
                                    {5.0, 86400.0, std::chrono::milliseconds(1000)}});
        QObject::connect(made.get(), &UpdateChecker::stateChanged,
                         [this](const UpdateState& state) { seen.push_back(state); });
        return made;
    }
    // The state a user's check of this manifest address ends in.
    UpdateState checked(const QString& manifestUrl) {
        auto made = checker(manifestUrl);
        made->check(true);
        EXPECT_TRUE(Testing::waitFor([&] { return made->state().kind != Kind::checking; }, 10000));
        return made->state();
    }
    // The state installing an image from this address ends in.
    UpdateState installed(const QString& imageUrl, const QString& sha256 = {}) {
        seen.clear();
        auto made = checker(server.address() + "/build.json");
        BuildManifest manifest{"1.0.1", "2", "c2", QUrl(imageUrl), sha256, {}, {}};
        made->install(manifest);
        EXPECT_TRUE(Testing::waitFor(
            [&] { return made->state().kind == Kind::readyToRestart || !made->state().isBusy(); },
            10000));
        EXPECT_EQ(QDir(downloads.path()).entryList(QDir::Files), QStringList());
        return made->state();
    }

    QTemporaryDir site;
    QTemporaryDir downloads;
    Testing::LoopbackServer server{site.path()};
    QtHttpClient http;
    QtScheduler scheduler;
    InMemoryDefaultsStore defaults;
    Testing::FakeInstaller installer;
    std::vector<UpdateState> seen;
    const QByteArray image = [] {
        QByteArray bytes(3 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
        return bytes;
    }();
};

TEST_F(UpdateNetworkTest, EachManifestFaultEndsInItsMessage) {
    QFile manifest(site.filePath("build.json"));
    ASSERT_TRUE(manifest.open(QIODevice::WriteOnly));
    manifest.write(R"({"version":"1.0.1","build":"2","commit":"c2","dmg":"https://x/i.tar"})");
    manifest.close();
    EXPECT_EQ(checked(server.address() + "/build.json").kind, Kind::available);

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString refused =
        QStringLiteral("http://127.0.0.1:%1/build.json").arg(closed.serverPort());
    closed.close();
    const QString prefix = QString::fromUtf8(UpdateTexts::unreachablePrefix);
    const QString tooLarge = prefix + "The server's answer is larger than expected.";
    const struct {
        QString url;
        QString message;
    } cases[] = {
        {server.address() + "/missing.json", prefix + UpdateTexts::unexpectedAnswer},
        {refused, prefix + "Connection refused"},
        {server.address() + "/stall", prefix + "The request timed out."},
        {server.address() + "/huge", tooLarge},
        {server.address() + "/huge-unannounced", tooLarge},
        {server.address() + "/redirect-http/build.json",
         prefix + "The server redirected to an address that isn't secure (HTTPS)."},
    };
    for (const auto& each : cases)
        EXPECT_EQ(checked(each.url), UpdateState::failed(each.message)) << each.url.toStdString();
}

TEST_F(UpdateNetworkTest, AServerWithoutATrustedCertificateIsNotBelieved) {
    const Testing::ToolRun made = Testing::runProgram(
        "openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                    "-nodes", "-subj", "/CN=127.0.0.1", "-days", "1", "-keyout",
                    site.filePath("key.pem"), "-out", site.filePath("cert.pem")});
    ASSERT_EQ(made.status, 0) << made.output.toStdString();
    Testing::LoopbackServer tls(site.path(), {site.filePath("cert.pem"), site.filePath("key.pem")});
    const UpdateState state = checked(tls.address() + "/build.json");
    EXPECT_EQ(state.kind, Kind::failed);
    EXPECT_TRUE(state.message.contains("SSL", Qt::CaseInsensitive)) << state.message.toStdString();
}

TEST_F(UpdateNetworkTest, DownloadsReportProgressWhenTheLengthIsKnownAndFaultsLeaveNoFile) {
    EXPECT_EQ(installed(server.address() + "/image.tar"), UpdateState::readyToRestart());
    EXPECT_EQ(installer.imageSeen, image);
    const auto partly = std::count_if(seen.begin(), seen.end(), [](const UpdateState& state) {
        return state.kind == Kind::downloading && state.fraction > 0.0 && state.fraction < 1.0;
    });
    EXPECT_GT(partly, 0);

    EXPECT_EQ(installed(server.address() + "/nolength/image.tar"), UpdateState::readyToRestart());
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](const UpdateState& state) {
        return state.kind != Kind::downloading || state.fraction == 0.0;
    }));
    EXPECT_EQ(installer.imageSeen, image);

    installer.imageSeen.clear();
    const QString digest = QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(installed(server.address() + "/truncated/image.tar").kind, Kind::failed);
    EXPECT_EQ(installed(server.address() + "/missing.tar", digest),
              UpdateState::failed(UpdateTexts::checksumMismatch));
    EXPECT_EQ(
        installed(server.address() + "/redirect-http/image.tar"),
        UpdateState::failed("The server redirected to an address that isn't secure (HTTPS)."));
    EXPECT_EQ(installed("http://updates.example.com/image.tar"),
              UpdateState::failed("The update image's address isn't secure (HTTPS)."));
    EXPECT_TRUE(installer.imageSeen.isEmpty());
}

} // namespace
} // namespace Blinkwit
