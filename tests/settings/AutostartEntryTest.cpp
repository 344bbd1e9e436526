#include "settings/AutostartEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Blinkwit;

namespace {

const QString entry =
    QStringLiteral("[Desktop Entry]\nType=Application\nExec=\"/opt/b w/blinkwit\"\n");

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST(AutostartEntry, EnablingWritesTheEntryAndDisablingRemovesIt) {
    QTemporaryDir config;
    AutostartEntry autostart(config.filePath("autostart/com.blinkwit.app.desktop"), entry);
    EXPECT_FALSE(autostart.isEnabled());
    // Removing what is not there is no failure.
    EXPECT_EQ(autostart.setEnabled(false), std::nullopt);
    EXPECT_EQ(autostart.setEnabled(true), std::nullopt);
    EXPECT_TRUE(autostart.isEnabled());
    EXPECT_EQ(contents(autostart.filePath()), entry.toUtf8());
    EXPECT_EQ(autostart.setEnabled(false), std::nullopt);
    EXPECT_FALSE(QFile::exists(autostart.filePath()));
    EXPECT_FALSE(autostart.isEnabled());
}

TEST(AutostartEntry, TheFileDecidesAndAnEntryTheDesktopHidesCountsAsAbsent) {
    QTemporaryDir config;
    QDir(config.path()).mkpath("autostart");
    AutostartEntry autostart(config.filePath("autostart/com.blinkwit.app.desktop"), entry);
    write(autostart.filePath(), "[Desktop Entry]\nExec=blinkwit\n");
    EXPECT_TRUE(autostart.isEnabled());
    write(autostart.filePath(), "[Desktop Entry]\nExec=blinkwit\nHidden=true\n");
    EXPECT_FALSE(autostart.isEnabled());
    write(autostart.filePath(), "[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_FALSE(autostart.isEnabled());
    // Enabling again replaces the hidden entry with ours.
    EXPECT_EQ(autostart.setEnabled(true), std::nullopt);
    EXPECT_TRUE(autostart.isEnabled());
    // A folder in the entry's place is not an entry, and is not removed.
    QFile::remove(autostart.filePath());
    QDir(config.path()).mkpath("autostart/com.blinkwit.app.desktop");
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_NE(autostart.setEnabled(false), std::nullopt);
    EXPECT_TRUE(QFileInfo(autostart.filePath()).isDir());
}

TEST(AutostartEntry, AFolderThatCannotBeWrittenIsToldAndChangesNothing) {
    QTemporaryDir config;
    write(config.filePath("autostart"), "a file where the folder belongs");
    AutostartEntry blocked(config.filePath("autostart/com.blinkwit.app.desktop"), entry);
    const auto problem = blocked.setEnabled(true);
    ASSERT_NE(problem, std::nullopt);
    EXPECT_TRUE(problem->contains(config.filePath("autostart"))) << problem->toStdString();
    EXPECT_FALSE(blocked.isEnabled());
    EXPECT_NE(AutostartEntry(QString(), entry).setEnabled(true), std::nullopt);
}

TEST(AutostartEntry, LivesInTheConfigurationHomeOrInDotConfig) {
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray savedHome = qgetenv("HOME");
    qputenv("XDG_CONFIG_HOME", "/x/config/");
    EXPECT_EQ(AutostartEntry::standardPath(),
              QStringLiteral("/x/config/autostart/com.blinkwit.app.desktop"));
    // A relative value is not a base folder.
    qputenv("XDG_CONFIG_HOME", "config");
    qputenv("HOME", "/home/reader");
    EXPECT_EQ(AutostartEntry::standardPath(),
              QStringLiteral("/home/reader/.config/autostart/com.blinkwit.app.desktop"));
    qputenv("XDG_CONFIG_HOME", savedConfig);
    qputenv("HOME", savedHome);
}
