#include "settings/JsonFileDefaultsStore.h"

#include "tests/settings/DefaultsWriterProcess.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>
#include <utime.h>

using Blinkwit::JsonFileDefaultsStore;
using Blinkwit::Testing::startDefaultsWriter;

namespace {

class JsonFileDefaultsStoreTest : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("blinkwit/defaults.json")); }

    void writeRaw(const QByteArray& bytes) const {
        QDir().mkpath(dir.filePath(QStringLiteral("blinkwit")));
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray readRaw(const QString& filePath) {
        QFile file(filePath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QJsonObject onDisk() const { return QJsonDocument::fromJson(readRaw(path())).object(); }

    QStringList setAsideFiles() const {
        return QDir(dir.filePath(QStringLiteral("blinkwit")))
            .entryList({QStringLiteral("defaults.json.corrupt-*")}, QDir::Files);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(JsonFileDefaultsStoreTest, EveryTypeSurvivesTheFileAndKeepsItsType) {
    const QVariantList values{qint64(650),
                              std::numeric_limits<qint64>::max(),
                              48.5,
                              std::numeric_limits<double>::infinity(),
                              false,
                              QStringLiteral("650 ✓"),
                              QByteArray("\x00\xff[]", 4),
                              QDateTime::fromMSecsSinceEpoch(1700000000123, Qt::UTC),
                              QVariantList{qint64(1), QStringLiteral("two"), QVariantList{true}}};
    {
        JsonFileDefaultsStore store(path());
        for (int i = 0; i < values.size(); ++i)
            store.setValue(QString::number(i), values[i]);
        store.setValue(QStringLiteral("gone"), true);
        store.remove(QStringLiteral("gone"));
        store.setValue(QStringLiteral("map"), QVariantMap{{QStringLiteral("x"), 1}});
        EXPECT_FALSE(store.lastWriteSucceeded());
    }
    JsonFileDefaultsStore reopened(path());
    for (int i = 0; i < values.size(); ++i) {
        EXPECT_EQ(reopened.value(QString::number(i)), values[i]) << i;
        EXPECT_EQ(reopened.value(QString::number(i)).typeId(), values[i].typeId()) << i;
    }
    EXPECT_FALSE(reopened.value(QStringLiteral("gone")).isValid());
    EXPECT_FALSE(reopened.value(QStringLiteral("map")).isValid());
    EXPECT_EQ(onDisk()[QStringLiteral("5")][QStringLiteral("type")].toString(),
              QStringLiteral("string"));
}

TEST_F(JsonFileDefaultsStoreTest, CorruptFileIsKeptAsideReadAsEmptyAndNeverOverwritten) {
    const QByteArray garbage(R"({"defaultWPM": {"type": "integer", "value": 6)");
    writeRaw(garbage);
    JsonFileDefaultsStore store(path());
    EXPECT_FALSE(store.value(QStringLiteral("defaultWPM")).isValid());
    ASSERT_EQ(setAsideFiles().size(), 1);
    EXPECT_EQ(store.setAsidePath(),
              dir.filePath(QStringLiteral("blinkwit/") + setAsideFiles().first()));
    store.setValue(QStringLiteral("defaultWPM"), qint64(500));
    EXPECT_EQ(readRaw(store.setAsidePath()), garbage);
    EXPECT_EQ(JsonFileDefaultsStore(path()).value(QStringLiteral("defaultWPM")).toLongLong(), 500);

    writeRaw("[1, 2, 3]"); // valid JSON, but not ours: a second copy beside the first
    JsonFileDefaultsStore second(path());
    EXPECT_EQ(setAsideFiles().size(), 2);
    writeRaw(""); // nothing to keep
    JsonFileDefaultsStore third(path());
    EXPECT_EQ(setAsideFiles().size(), 2);
}

TEST_F(JsonFileDefaultsStoreTest, EntriesThisVersionCannotReadSurviveItsWrites) {
    writeRaw(R"({"future": {"type": "colour", "value": [1, 0, 0]},
                 "broken": {"type": "integer", "value": "twelve"}})");
    JsonFileDefaultsStore store(path());
    EXPECT_FALSE(store.value(QStringLiteral("future")).isValid());
    EXPECT_FALSE(store.value(QStringLiteral("broken")).isValid());
    store.setValue(QStringLiteral("fontSize"), 30.0);
    EXPECT_EQ(onDisk()[QStringLiteral("future")][QStringLiteral("type")].toString(),
              QStringLiteral("colour"));
    EXPECT_EQ(onDisk()[QStringLiteral("broken")][QStringLiteral("value")].toString(),
              QStringLiteral("twelve"));
    EXPECT_TRUE(setAsideFiles().isEmpty());
}

TEST_F(JsonFileDefaultsStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int keysEach = 60;
    QProcess writers[2];
    for (int i = 0; i < 2; ++i)
        startDefaultsWriter(
            writers[i], path(),
            {QStringLiteral("set"), QStringLiteral("w%1.").arg(i), QString::number(keysEach)});
    for (QProcess& writer : writers) {
        ASSERT_TRUE(writer.waitForFinished(60000));
        EXPECT_EQ(writer.exitCode(), 0);
    }
    JsonFileDefaultsStore reader(path());
    int found = 0;
    for (int i = 0; i < keysEach; ++i)
        for (int w = 0; w < 2; ++w)
            found += reader.value(QStringLiteral("w%1.%2").arg(w).arg(i)).toLongLong() == i;
    EXPECT_EQ(found, 2 * keysEach);
}

TEST_F(JsonFileDefaultsStoreTest, AHeldLockIsWaitedForAndNeverIgnored) {
    JsonFileDefaultsStore store(path());
    store.setValue(QStringLiteral("a"), true);
    const QByteArray before = readRaw(path());
    QProcess holder;
    startDefaultsWriter(holder, path(), {QStringLiteral("hold")});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    // The holder is alive however old its lock looks.
    const QByteArray lockFile = QFile::encodeName(path() + QStringLiteral(".lock"));
    const utimbuf hourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
    ASSERT_EQ(utime(lockFile.constData(), &hourAgo), 0);
    store.setValue(QStringLiteral("b"), true);
    EXPECT_FALSE(store.lastWriteSucceeded());
    EXPECT_TRUE(store.value(QStringLiteral("b")).toBool());
    EXPECT_EQ(readRaw(path()), before);
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(20000));
    EXPECT_TRUE(store.flush(5000));
    EXPECT_TRUE(onDisk().contains(QStringLiteral("a")) && onDisk().contains(QStringLiteral("b")));

    // A holder that died leaves its lock behind: it is taken over at once.
    startDefaultsWriter(holder, path(), {QStringLiteral("hold")});
    ASSERT_TRUE(holder.waitForReadyRead(20000));
    holder.kill();
    holder.waitForFinished();
    store.setValue(QStringLiteral("c"), true);
    EXPECT_TRUE(store.lastWriteSucceeded());
}

TEST_F(JsonFileDefaultsStoreTest, TemporaryFilesOfWritersThatEndedEarlyGoWithTheNextWrite) {
    writeRaw("{}");
    const auto temporary = [this](const char* suffix) {
        const QString name = path() + QLatin1String(suffix);
        QFile(name).open(QIODevice::WriteOnly);
        return name;
    };
    const QString stale = temporary(".Ab12Cd");
    const QString live = temporary(".Zz99Yy");
    const QString other = temporary(".old");
    QFile held(live);
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    ASSERT_EQ(flock(held.handle(), LOCK_EX), 0);
    JsonFileDefaultsStore(path()).setValue(QStringLiteral("k"), true);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_TRUE(QFileInfo::exists(live));
    EXPECT_TRUE(QFileInfo::exists(other));
}

TEST(JsonFileDefaultsStorePath, FollowsXdgConfigHomeUnlessItIsRelative) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const QString fallback = QDir::homePath() + QStringLiteral("/.config/blinkwit/defaults.json");
    qputenv("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(JsonFileDefaultsStore::standardPath(),
              QStringLiteral("/somewhere/config/blinkwit/defaults.json"));
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(JsonFileDefaultsStore::standardPath(), fallback);
    saved.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", saved);
}

TEST(JsonFileDefaultsStorePath, WithoutHomeTheUsersHomeIsAskedForAndAMissingOneNeverMade) {
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    EXPECT_EQ(JsonFileDefaultsStore::standardPath(),
              QFile::decodeName(getpwuid(getuid())->pw_dir) +
                  QStringLiteral("/.config/blinkwit/defaults.json"));
    QTemporaryDir dir;
    qputenv("HOME", QFile::encodeName(dir.filePath(QStringLiteral("gone/home"))));
    QStringList told;
    JsonFileDefaultsStore store(JsonFileDefaultsStore::standardPath());
    store.setNoticeSink([&told](const QString& message) { told << message; });
    store.setValue(QStringLiteral("defaultWPM"), qint64(500));
    store.setValue(QStringLiteral("fontSize"), 30.0);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
    EXPECT_EQ(store.value(QStringLiteral("defaultWPM")).toLongLong(), 500);
    EXPECT_EQ(told.size(), 1);
    qputenv("HOME", savedHome);
    savedConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", savedConfig);
}
