#include "settings/JsonFileDefaultsStore.h"

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

using Blinkwit::JsonFileDefaultsStore;

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

    QByteArray readRaw(const QString& filePath) const {
        QFile file(filePath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QStringList setAsideFiles() const {
        return QDir(dir.filePath(QStringLiteral("blinkwit")))
            .entryList({QStringLiteral("defaults.json.corrupt-*")}, QDir::Files);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(JsonFileDefaultsStoreTest, EveryTypeSurvivesARoundTripThroughTheFile) {
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(1700000000123, Qt::UTC);
    const QVariantList array{qint64(1), 2.5, QStringLiteral("three"), QVariantList{true}};
    {
        JsonFileDefaultsStore store(path());
        store.setValue(QStringLiteral("integer"), qint64(650));
        store.setValue(QStringLiteral("large"), std::numeric_limits<qint64>::max());
        store.setValue(QStringLiteral("double"), 48.5);
        store.setValue(QStringLiteral("infinite"), std::numeric_limits<double>::infinity());
        store.setValue(QStringLiteral("boolean"), false);
        store.setValue(QStringLiteral("string"), QStringLiteral("#00FF41 ✓"));
        store.setValue(QStringLiteral("data"), QByteArray("\x00\xff[]", 4));
        store.setValue(QStringLiteral("date"), date);
        store.setValue(QStringLiteral("array"), array);
        EXPECT_TRUE(store.lastWriteSucceeded());
    }
    JsonFileDefaultsStore reopened(path());
    const QVariant integer = reopened.value(QStringLiteral("integer"));
    EXPECT_EQ(integer.typeId(), QMetaType::LongLong);
    EXPECT_EQ(integer.toLongLong(), 650);
    EXPECT_EQ(reopened.value(QStringLiteral("large")).toLongLong(),
              std::numeric_limits<qint64>::max());
    EXPECT_EQ(reopened.value(QStringLiteral("double")).typeId(), QMetaType::Double);
    EXPECT_DOUBLE_EQ(reopened.value(QStringLiteral("double")).toDouble(), 48.5);
    EXPECT_TRUE(std::isinf(reopened.value(QStringLiteral("infinite")).toDouble()));
    EXPECT_EQ(reopened.value(QStringLiteral("boolean")).typeId(), QMetaType::Bool);
    EXPECT_FALSE(reopened.value(QStringLiteral("boolean")).toBool());
    EXPECT_EQ(reopened.value(QStringLiteral("string")).toString(), QStringLiteral("#00FF41 ✓"));
    EXPECT_EQ(reopened.value(QStringLiteral("data")).toByteArray(), QByteArray("\x00\xff[]", 4));
    EXPECT_EQ(reopened.value(QStringLiteral("date")).toDateTime(), date);
    EXPECT_EQ(reopened.value(QStringLiteral("array")).toList(), array);
    EXPECT_FALSE(reopened.value(QStringLiteral("missing")).isValid());
}

TEST_F(JsonFileDefaultsStoreTest, TypesStayDistinctSoAStringNumberIsNotAnInteger) {
    {
        JsonFileDefaultsStore store(path());
        store.setValue(QStringLiteral("defaultWPM"), QStringLiteral("650"));
        store.setValue(QStringLiteral("flag"), qint64(1));
    }
    JsonFileDefaultsStore reopened(path());
    EXPECT_EQ(reopened.value(QStringLiteral("defaultWPM")).typeId(), QMetaType::QString);
    EXPECT_EQ(reopened.value(QStringLiteral("flag")).typeId(), QMetaType::LongLong);
    const QJsonObject onDisk = QJsonDocument::fromJson(readRaw(path())).object();
    EXPECT_EQ(onDisk[QStringLiteral("defaultWPM")][QStringLiteral("type")].toString(),
              QStringLiteral("string"));
}

TEST_F(JsonFileDefaultsStoreTest, RemoveAndUnsupportedTypes) {
    JsonFileDefaultsStore store(path());
    store.setValue(QStringLiteral("a"), true);
    store.remove(QStringLiteral("a"));
    EXPECT_FALSE(JsonFileDefaultsStore(path()).value(QStringLiteral("a")).isValid());

    store.setValue(QStringLiteral("map"), QVariantMap{{QStringLiteral("x"), 1}});
    EXPECT_FALSE(store.lastWriteSucceeded());
    EXPECT_FALSE(store.value(QStringLiteral("map")).isValid());
    store.setValue(QStringLiteral("invalidDate"), QDateTime());
    EXPECT_FALSE(store.lastWriteSucceeded());
}

TEST_F(JsonFileDefaultsStoreTest, CorruptFileIsKeptAsideReadAsEmptyAndNeverOverwritten) {
    const QByteArray garbage("{\"defaultWPM\": {\"type\": \"integer\", \"value\": 6");
    writeRaw(garbage);
    JsonFileDefaultsStore store(path());
    EXPECT_FALSE(store.value(QStringLiteral("defaultWPM")).isValid());
    ASSERT_EQ(setAsideFiles().size(), 1);
    EXPECT_EQ(store.setAsidePath(),
              dir.filePath(QStringLiteral("blinkwit/") + setAsideFiles().first()));
    EXPECT_EQ(readRaw(store.setAsidePath()), garbage);

    store.setValue(QStringLiteral("defaultWPM"), qint64(500));
    EXPECT_EQ(readRaw(store.setAsidePath()), garbage);
    EXPECT_EQ(JsonFileDefaultsStore(path()).value(QStringLiteral("defaultWPM")).toLongLong(), 500);
}

TEST_F(JsonFileDefaultsStoreTest, ForeignJsonAndRepeatedCorruptionGetDistinctCopies) {
    writeRaw("[1, 2, 3]");
    JsonFileDefaultsStore first(path());
    writeRaw("not json at all");
    JsonFileDefaultsStore second(path());
    EXPECT_EQ(setAsideFiles().size(), 2);
    EXPECT_NE(first.setAsidePath(), second.setAsidePath());
}

TEST_F(JsonFileDefaultsStoreTest, EmptyFileReadsAsEmptyWithoutACopy) {
    writeRaw("");
    JsonFileDefaultsStore store(path());
    EXPECT_FALSE(store.value(QStringLiteral("x")).isValid());
    EXPECT_TRUE(setAsideFiles().isEmpty());
}

TEST_F(JsonFileDefaultsStoreTest, EntriesThisVersionCannotReadSurviveItsWrites) {
    writeRaw(R"({"future": {"type": "colour", "value": [1, 0, 0]},
                 "broken": {"type": "integer", "value": "twelve"}})");
    JsonFileDefaultsStore store(path());
    EXPECT_FALSE(store.value(QStringLiteral("future")).isValid());
    EXPECT_FALSE(store.value(QStringLiteral("broken")).isValid());
    store.setValue(QStringLiteral("fontSize"), 30.0);
    const QJsonObject onDisk = QJsonDocument::fromJson(readRaw(path())).object();
    EXPECT_EQ(onDisk[QStringLiteral("future")][QStringLiteral("type")].toString(),
              QStringLiteral("colour"));
    EXPECT_EQ(onDisk[QStringLiteral("broken")][QStringLiteral("value")].toString(),
              QStringLiteral("twelve"));
    EXPECT_TRUE(setAsideFiles().isEmpty());
}

TEST_F(JsonFileDefaultsStoreTest, TwoStoresOnOneFileKeepEachOthersKeys) {
    JsonFileDefaultsStore first(path());
    JsonFileDefaultsStore second(path());
    first.setValue(QStringLiteral("fromFirst"), qint64(1));
    second.setValue(QStringLiteral("fromSecond"), qint64(2));
    first.remove(QStringLiteral("nothing"));
    JsonFileDefaultsStore reader(path());
    EXPECT_EQ(reader.value(QStringLiteral("fromFirst")).toLongLong(), 1);
    EXPECT_EQ(reader.value(QStringLiteral("fromSecond")).toLongLong(), 2);
    // A writer also picks up what the other wrote.
    EXPECT_EQ(first.value(QStringLiteral("fromSecond")).toLongLong(), 2);
}

TEST_F(JsonFileDefaultsStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
    constexpr int keysEach = 60;
    QProcess one;
    QProcess two;
    const QStringList common{path()};
    one.start(QStringLiteral(BLINKWIT_DEFAULTS_WRITER),
              common + QStringList{QStringLiteral("one."), QString::number(keysEach)});
    two.start(QStringLiteral(BLINKWIT_DEFAULTS_WRITER),
              common + QStringList{QStringLiteral("two."), QString::number(keysEach)});
    ASSERT_TRUE(one.waitForFinished(60000));
    ASSERT_TRUE(two.waitForFinished(60000));
    EXPECT_EQ(one.exitCode(), 0);
    EXPECT_EQ(two.exitCode(), 0);
    JsonFileDefaultsStore reader(path());
    int found = 0;
    for (int i = 0; i < keysEach; ++i) {
        found += reader.value(QStringLiteral("one.%1").arg(i)).toLongLong() == i;
        found += reader.value(QStringLiteral("two.%1").arg(i)).toLongLong() == i;
    }
    EXPECT_EQ(found, 2 * keysEach);
}

TEST(JsonFileDefaultsStorePath, FollowsXdgConfigHomeAndIgnoresRelativeValues) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(JsonFileDefaultsStore::standardPath(),
              QStringLiteral("/somewhere/config/blinkwit/defaults.json"));
    qputenv("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(JsonFileDefaultsStore::standardPath(),
              QDir::homePath() + QStringLiteral("/.config/blinkwit/defaults.json"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(JsonFileDefaultsStore::standardPath(),
              QDir::homePath() + QStringLiteral("/.config/blinkwit/defaults.json"));
    if (!saved.isNull())
        qputenv("XDG_CONFIG_HOME", saved);
}
