#include "bundle/BundleVerifier.h"

#include "ReleaseKit.h"
#include "bundle/ImageUnpacker.h"
#include "bundle/UpdateImage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace Blinkwit {
namespace {

using Testing::TestSigner;

void makeWritable(const QString& path) {
    ::chmod(QFile::encodeName(path).constData(), 0644);
}

void append(const QString& path, const QByteArray& bytes) {
    makeWritable(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(bytes);
    file.close();
    ::chmod(QFile::encodeName(path).constData(), 0444);
}

TEST(BundleVerifier, AcceptsExactlyTheSignedFilesAndNamesTheFirstDifference) {
    QTemporaryDir dir;
    const TestSigner signer;
    signer.writePem(dir.filePath("key.pem"));
    ASSERT_EQ(
        Testing::package("1.0.0", dir.filePath("key.pem"), dir.path(), "https://x.example").status,
        0);
    UpdateImage image(dir.filePath("Blinkwit-1.0.0.tar"));
    ASSERT_EQ(image.assess(), std::nullopt);
    const auto rewriteInfo = [](const QString& bundle, const QString& signerId,
                                const TestSigner& key) {
        makeWritable(bundle + "/Info.json");
        Testing::writeFile(
            bundle + "/Info.json",
            QStringLiteral(R"({"BlinkwitSignerID": "%1", "BlinkwitPublicKey": "%2"})")
                .arg(signerId, key.publicKey())
                .toUtf8());
    };
    const struct {
        const char* change;
        std::function<void(const QString&)> apply;
        const char* problem;
    } cases[] = {
        {"none", [](const QString&) {}, ""},
        {"content", [](const QString& b) { append(b + "/share/blinkwit.svg", "x"); },
         "share/blinkwit.svg was changed after signing"},
        {"mode", [](const QString& b) { makeWritable(b + "/bin/blinkwit"); },
         "bin/blinkwit has mode 0644, signed as 0555"},
        {"missing", [](const QString& b) { QFile::remove(b + "/share/blinkwit.svg"); },
         "share/blinkwit.svg is missing"},
        {"extra file", [](const QString& b) { Testing::writeFile(b + "/bin/helper", "x"); },
         "bin/helper isn't covered by the signature"},
        {"extra folder", [](const QString& b) { QDir().mkpath(b + "/lib"); },
         "lib isn't covered by the signature"},
        {"link", [](const QString& b) { QFile::link("bin/blinkwit", b + "/run"); },
         "run is a link the signature doesn't cover"},
        {"list",
         [](const QString& b) {
             const QString path = b + "/CodeSignature.json";
             makeWritable(path);
             Testing::writeFile(path, Testing::readFile(path).replace("0555 ", "0755 "));
         },
         "the code signature doesn't match its file list"},
        {"signer id", [&](const QString& b) { rewriteInfo(b, "AAAAAAAAAA", signer); },
         "Info.json names another signer than its key"},
    };
    for (const auto& each : cases) {
        const QString root = dir.filePath(each.change);
        ASSERT_EQ(ImageUnpacker().unpack(image.archive(), root), std::nullopt);
        each.apply(root + "/Blinkwit.app");
        const BundleVerifier::Verdict verdict =
            BundleVerifier::verify(Bundle(root + "/Blinkwit.app"));
        EXPECT_EQ(verdict.valid, QByteArray(each.problem).isEmpty()) << each.change;
        EXPECT_EQ(verdict.problem.toStdString(), each.problem) << each.change;
        if (verdict.valid) {
            EXPECT_EQ(verdict.signer, signer.signerId());
        }
    }
}

} // namespace
} // namespace Blinkwit
