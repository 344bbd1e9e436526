#include "app/BundleMover.h"

#include "bundle/Bundle.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace Blinkwit {
namespace {

class BundleMoverTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return root.filePath(relative); }
    void write(const QString& relative, const QByteArray& content) const {
        QDir().mkpath(QFileInfo(path(relative)).absolutePath());
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // A bundle whose executable prints its version.
    Bundle makeBundle(const QString& relative, const QByteArray& version) const {
        write(relative + "/Info.json", R"({"CFBundleShortVersionString": ")" + version + "\"}");
        write(relative + "/bin/blinkwit", "#!/bin/sh\necho " + version + "\n");
        QFile::setPermissions(path(relative + "/bin/blinkwit"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::link(QStringLiteral("bin/blinkwit"), path(relative + "/launcher"));
        QDir().mkpath(path(relative + "/share"));
        return Bundle(path(relative));
    }
    std::optional<QString> install(const Bundle& bundle) const {
        return BundleMover::install(bundle, destination, path("data"));
    }
    QString installedVersion() const {
        return Bundle(destination).infoString("CFBundleShortVersionString").value_or("none");
    }
    QStringList applicationsFolder() const {
        return QDir(path("home/Applications"))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir root;
    QString destination = path("home/Applications/Blinkwit.app");
};

TEST_F(BundleMoverTest, InstallsACompleteCopyWithItsDesktopEntryAndReplacesAnOlderOne) {
    ASSERT_EQ(install(makeBundle("media/Blinkwit.app", "1.0")), std::nullopt)
        << "a missing Applications folder is created";
    EXPECT_EQ(installedVersion(), "1.0");
    const QFileInfo executable(destination + "/bin/blinkwit");
    EXPECT_TRUE(executable.isExecutable());
    EXPECT_EQ(QFileInfo(destination + "/launcher").symLinkTarget(), executable.filePath());
    QFile entry(path("data/applications/com.blinkwit.app.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("\nExec=\"" + executable.filePath().toUtf8() + "\"\n"));
    EXPECT_EQ(QImage(path("data/icons/hicolor/256x256/apps/com.blinkwit.app.png")).size(),
              QSize(256, 256));

    ASSERT_EQ(install(makeBundle("tmp/Blinkwit.app", "2.0")), std::nullopt);
    EXPECT_EQ(installedVersion(), "2.0");
    EXPECT_EQ(applicationsFolder(), QStringList{"Blinkwit.app"}) << "nothing left beside it";
}

TEST_F(BundleMoverTest, AnythingButAnOlderCopyAtTheDestinationIsLeftAloneWithAReason) {
    const Bundle bundle = makeBundle("media/Blinkwit.app", "1.0");
    write("home/Applications/Blinkwit.app", "a file of the user's");
    const auto refused = install(bundle);
    ASSERT_TRUE(refused);
    EXPECT_EQ(*refused, destination + " exists and is not a copy of Blinkwit; move it away and "
                                      "try again.");
    QFile file(destination);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "a file of the user's");

    ASSERT_TRUE(QDir(path("home/Applications")).removeRecursively());
    write("home/Applications", "not a folder");
    EXPECT_EQ(install(bundle), path("home/Applications") + " can't be created (Not a directory).");
}

TEST_F(BundleMoverTest, AFailedCopyKeepsTheInstalledOne) {
    ASSERT_EQ(install(makeBundle("media/Blinkwit.app", "1.0")), std::nullopt);
    // A pipe cannot be copied, not even by root.
    const Bundle newer = makeBundle("tmp/Blinkwit.app", "2.0");
    ASSERT_EQ(mkfifo(QFile::encodeName(path("tmp/Blinkwit.app/share/pipe")).constData(), 0600), 0);
    const auto failed = install(newer);
    ASSERT_TRUE(failed);
    EXPECT_TRUE(failed->startsWith("Blinkwit can't be copied to ")) << failed->toStdString();
    EXPECT_EQ(installedVersion(), "1.0");
    EXPECT_EQ(applicationsFolder(), QStringList{"Blinkwit.app"});
}

TEST(DesktopEntryTest, ExecQuotesThePathForTheDesktop) {
    EXPECT_TRUE(BundleMover::desktopEntry(R"(/home/a b/100%/"x"/back\slash/$HOME/blinkwit)")
                    .contains(R"(Exec="/home/a b/100%%/\\"x\\"/back\\\\slash/\\$HOME/blinkwit")"));
}

} // namespace
} // namespace Blinkwit
