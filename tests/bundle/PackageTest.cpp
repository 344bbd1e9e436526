// scripts/package and the blinkwit image and bundle commands, run as a release and an
// installer run them.
#include "ReleaseKit.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

using Testing::runProgram;

QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class Package : public ::testing::Test {
protected:
    void SetUp() override {
        signer.writePem(dir.filePath("key.pem"));
        const Testing::ToolRun run =
            Testing::package("1.0.0", dir.filePath("key.pem"), dir.filePath("out"), url);
        ASSERT_EQ(run.status, 0) << run.output.toStdString();
    }
    Testing::ToolRun blinkwit(const QStringList& arguments) const {
        return runProgram(BLINKWIT_EXECUTABLE, arguments);
    }

    const QString url = "http://127.0.0.1:8000/releases";
    QTemporaryDir dir;
    Testing::TestSigner signer;
    QString image = dir.filePath("out/Blinkwit-1.0.0.tar");
};

TEST_F(Package, PublishesASignedImageAndAManifestThatTheReleaseToolsAccept) {
    const QJsonObject manifest =
        QJsonDocument::fromJson(read(dir.filePath("out/build.json"))).object();
    EXPECT_EQ(manifest["version"], "1.0.0");
    EXPECT_TRUE(QRegularExpression("^\\d+$").match(manifest["build"].toString()).hasMatch());
    EXPECT_FALSE(manifest["commit"].toString().isEmpty());
    EXPECT_EQ(manifest["dmg"], url + "/Blinkwit-1.0.0.tar");
    EXPECT_EQ(manifest["sha256"],
              QString(QCryptographicHash::hash(read(image), QCryptographicHash::Sha256).toHex()));
    EXPECT_EQ(manifest["notes"], "Notes for 1.0.0");
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$")
                    .match(manifest["date"].toString())
                    .hasMatch());

    const Testing::ToolRun assessment = blinkwit({"image", "assess", image});
    EXPECT_EQ(assessment.status, 0);
    EXPECT_EQ(assessment.output, "accepted\nsigner=" + signer.signerId() + "\n");
    ASSERT_EQ(blinkwit({"image", "unpack", image, dir.filePath("app")}).status, 0);
    const QString app = dir.filePath("app/Blinkwit.app");
    const Testing::ToolRun verification = blinkwit({"bundle", "verify", app});
    EXPECT_EQ(verification.status, 0) << verification.output.toStdString();
    const QString description = blinkwit({"bundle", "describe", app}).output;
    EXPECT_TRUE(description.startsWith("Identifier=com.blinkwit.app\nTeamIdentifier=" +
                                       signer.signerId() + "\nVersion=1.0.0\nBuild="))
        << description.toStdString();
    EXPECT_EQ(runProgram(app + "/bin/blinkwit", {"--help"}).status, 0);
}

TEST_F(Package, TamperedImagesUnsafeMembersAndChangedBundlesAreRefused) {
    QByteArray tampered = read(image);
    tampered[tampered.size() / 3] = char(tampered[tampered.size() / 3] ^ 0x20);
    Testing::writeFile(dir.filePath("tampered.tar"), tampered);
    const Testing::ToolRun assessment = blinkwit({"image", "assess", dir.filePath("tampered.tar")});
    EXPECT_EQ(assessment.status, 1);
    EXPECT_EQ(assessment.output, "rejected: the signature doesn't match the image's contents\n");
    EXPECT_EQ(blinkwit({"image", "unpack", dir.filePath("tampered.tar"), dir.filePath("t")}).status,
              1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("t")));

    using Testing::TarMember;
    Testing::writeFile(dir.filePath("unsafe.tar"),
                       Testing::updateImage(Testing::compressedTar({{"Blinkwit.app/../../escape",
                                                                     TarMember::Type::file, "x"}}),
                                            signer));
    EXPECT_EQ(blinkwit({"image", "assess", dir.filePath("unsafe.tar")}).status, 0);
    const Testing::ToolRun unsafe =
        blinkwit({"image", "unpack", dir.filePath("unsafe.tar"), dir.filePath("u/v")});
    EXPECT_EQ(unsafe.status, 1);
    EXPECT_EQ(unsafe.output, "Blinkwit.app/../../escape: the path leaves the destination\n");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("escape")));

    ASSERT_EQ(blinkwit({"image", "unpack", image, dir.filePath("app")}).status, 0);
    Testing::writeFile(dir.filePath("app/Blinkwit.app/share/extra.txt"), "x");
    const Testing::ToolRun verification =
        blinkwit({"bundle", "verify", dir.filePath("app/Blinkwit.app")});
    EXPECT_EQ(verification.status, 1);
    EXPECT_EQ(verification.output, "invalid: share/extra.txt isn't covered by the signature\n");
}

} // namespace
} // namespace Blinkwit
