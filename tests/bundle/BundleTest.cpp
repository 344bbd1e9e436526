#include "bundle/Bundle.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace Blinkwit {
namespace {

class BundleTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString make(const QString& relative, const QByteArray& content = {}) {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
};

TEST_F(BundleTest, OnlyAnExecutableInBinBesideInfoJsonLiesInABundle) {
    const QString executable = make("Blinkwit.app/bin/blinkwit");
    make("Blinkwit.app/Info.json", "{}");
    const auto bundle = Bundle::containing(executable);
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->path(), dir.filePath("Blinkwit.app"));
    EXPECT_EQ(bundle->executablePath(), executable);

    EXPECT_FALSE(Bundle::containing(make("build/app/blinkwit")));
    EXPECT_FALSE(Bundle::containing(make("Other.app/bin/blinkwit")));
    EXPECT_FALSE(Bundle::containing(QString()));
    // The test program itself runs from a build tree.
    EXPECT_FALSE(Bundle::running());
}

TEST_F(BundleTest, InfoStringsAreStringsOfASaneObjectOnly) {
    make("B.app/Info.json", R"({"CFBundleVersion": "57", "Number": 57, "Empty": ""})");
    const Bundle bundle(dir.filePath("B.app"));
    EXPECT_EQ(bundle.infoString("CFBundleVersion"), "57");
    EXPECT_EQ(bundle.infoString("Empty"), "");
    EXPECT_FALSE(bundle.infoString("Number"));
    EXPECT_FALSE(bundle.infoString("Missing"));

    make("C.app/Info.json", "[\"CFBundleVersion\"]");
    EXPECT_FALSE(Bundle(dir.filePath("C.app")).infoString("CFBundleVersion"));
    make("D.app/Info.json", "{\"CFBundleVersion\": \"1\"," + QByteArray(70000, ' ') + "}");
    EXPECT_FALSE(Bundle(dir.filePath("D.app")).infoString("CFBundleVersion"));
    EXPECT_FALSE(Bundle(dir.filePath("Missing.app")).infoString("CFBundleVersion"));
}

} // namespace
} // namespace Blinkwit
