#include "bundle/BundleVerifier.h"

#include "ReleaseKit.h"

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
    const TestSigner signer;
    const TestSigner other;
    const struct {
        const char* change;
        std::function<void(const QString&)> apply;
        const char* problem;
    } cases[] = {
        {"none", [](const QString&) {}, ""},
        {"content", [](const QString& b) { append(b + "/share/icon.svg", "x"); },
         "share/icon.svg was changed after signing"},
        {"mode", [](const QString& b) { makeWritable(b + "/bin/blinkwit"); },
         "bin/blinkwit has mode 0644, signed as 0555"},
        {"missing", [](const QString& b) { QFile::remove(b + "/share/icon.svg"); },
         "share/icon.svg is missing"},
        {"extra file", [](const QString& b) { Testing::writeFile(b + "/bin/helper", "x"); },
         "bin/helper isn't covered by the signature"},
        {"extra folder", [](const QString& b) { QDir().mkpath(b + "/lib"); },
         "lib isn't covered by the signature"},
        {"link", [](const QString& b) { QFile::link("bin/blinkwit", b + "/run"); },
         "run is a link the signature doesn't cover"},
        {"list",
         [](const QString& b) {
             QFile file(b + "/CodeSignature.json");
             file.open(QIODevice::ReadOnly);
             QByteArray json = file.readAll().replace("0555", "0755");
             file.close();
             Testing::writeFile(b + "/CodeSignature.json", json);
         },
         "the code signature doesn't match its file list"},
        {"another key",
         [&other](const QString& b) {
             makeWritable(b + "/Info.json");
             Testing::writeFile(
                 b + "/Info.json",
                 QStringLiteral(R"({"BlinkwitSignerID": "%1", "BlinkwitPublicKey": "%2"})")
                     .arg(other.signerId(), other.publicKey())
                     .toUtf8());
         },
         "the code signature doesn't match its file list"},
        {"signer id",
         [&other](const QString& b) {
             makeWritable(b + "/Info.json");
             Testing::writeFile(
                 b + "/Info.json",
                 QStringLiteral(R"({"BlinkwitSignerID": "AAAAAAAAAA", "BlinkwitPublicKey": "%1"})")
                     .arg(other.publicKey())
                     .toUtf8());
         },
         "Info.json names another signer than its key"},
    };
    for (const auto& each : cases) {
        QTemporaryDir dir;
        const QString root = dir.filePath("Blinkwit.app");
        Testing::writeSignedBundle(root, signer,
                                   {{"bin/blinkwit", "program"}, {"share/icon.svg", "<svg/>"}});
        each.apply(root);
        const BundleVerifier::Verdict verdict = BundleVerifier::verify(Bundle(root));
        EXPECT_EQ(verdict.valid, QByteArray(each.problem).isEmpty()) << each.change;
        EXPECT_EQ(verdict.problem.toStdString(), each.problem) << each.change;
        if (verdict.valid) {
            EXPECT_EQ(verdict.signer, signer.signerId());
            EXPECT_EQ(verdict.fileCount, 3);
        }
    }
}

} // namespace
} // namespace Blinkwit
