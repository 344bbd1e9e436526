#include "settings/HistoryStore.h"

#include "settings/JsonFileDefaultsStore.h"
#include "tests/settings/DefaultsWriterProcess.h"
#include "tests/settings/RecordingDefaultsStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using Blinkwit::HistoryStore;
using Blinkwit::JsonFileDefaultsStore;
using Blinkwit::Testing::RecordingDefaultsStore;

namespace {

QStringList texts(const HistoryStore& history) {
    QStringList result;
    for (const HistoryStore::Entry& entry : history.entries())
        result.append(entry.text);
    return result;
}

} // namespace

TEST(HistoryStoreAdd, TrimsDedupesUpToCanonicalEquivalenceAndKeepsTheTenNewest) {
    RecordingDefaultsStore store;
    HistoryStore history(store);
    history.add(QStringLiteral("  Hello world\n"));
    const HistoryStore::Entry first = history.entries().front();
    history.add(QStringLiteral("hello world"));
    history.add(QStringLiteral("Hello world"));
    history.add(QStringLiteral("caf\u00E9"));
    history.add(QStringLiteral("cafe\u0301"));
    history.add(QStringLiteral(" \n\t\r\n \u00A0"));
    EXPECT_EQ(texts(history), (QStringList{"cafe\u0301", "Hello world", "hello world"}));
    EXPECT_NE(history.entries()[1].id, first.id);
    EXPECT_GE(history.entries()[1].date, first.date);
    EXPECT_EQ(store.written.size(), 5);
    EXPECT_FALSE(HistoryStore::sameText(QStringLiteral("\uFB01"), QStringLiteral("fi")));
    for (int i = 1; i <= 11; ++i)
        history.add(QString::number(i));
    EXPECT_EQ(history.entries().size(), 10);
    EXPECT_EQ(history.entries().back().text, QStringLiteral("2"));
}

TEST(HistoryStorePersistence, StoredAsCompactJsonThatANewInstanceReads) {
    RecordingDefaultsStore store;
    HistoryStore history(store);
    const QDateTime referenceDate(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    history.setEntries(
        {{QUuid::createUuid(), referenceDate.addMSecs(1500), QStringLiteral("a/b \"c\"")}});
    history.persist();
    const QVariant stored = store.value(QStringLiteral("readingHistory"));
    ASSERT_EQ(stored.typeId(), QMetaType::QByteArray);
    EXPECT_FALSE(stored.toByteArray().contains('\n'));
    const QJsonObject object =
        QJsonDocument::fromJson(stored.toByteArray()).array().first().toObject();
    EXPECT_EQ(object.keys(), (QStringList{"date", "id", "text"}));
    EXPECT_EQ(object[QStringLiteral("date")].toDouble(), 1.5);
    EXPECT_EQ(object[QStringLiteral("id")].toString(),
              history.entries().front().id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(HistoryStore(store).entries(), history.entries());
    history.clear();
    EXPECT_TRUE(HistoryStore(store).entries().isEmpty());
}

TEST(HistoryStorePersistence, ReadsOtherEncodersAndRejectsMalformedEntries) {
    const auto entries = HistoryStore::decode(R"([
        {"text": "x\/y \u00e9", "date": 786000000.25, "id": "e621e1f8-c36c-495a-93fc-0c247a3e6e5f", "extra": 1},
        {"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5E", "date": -10, "text": ""}])");
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->at(0).text, QStringLiteral("x/y \u00E9"));
    EXPECT_EQ(entries->at(0).id, QUuid::fromString(u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f"));
    EXPECT_EQ(entries->at(0).date.toMSecsSinceEpoch(), 978307200000LL + 786000000250LL);
    EXPECT_EQ(entries->at(1).date.toMSecsSinceEpoch(), 978307200000LL - 10000);
    const char* id = R"("id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F")";
    for (QByteArray bad :
         {QByteArray(R"({"date": 1, "text": "t"})"),
          QByteArray(R"({"id": "E621E1F8", "date": 1, "text": "t"})"),
          QByteArray(R"({"id": "{E621E1F8-C36C-495A-93FC-0C247A3E6E}", "date": 1, "text": "t"})"),
          QByteArray("{") + id + R"(, "date": "1", "text": "t"})",
          QByteArray("{") + id + R"(, "date": 1e300, "text": "t"})",
          QByteArray("{") + id + R"(, "date": 1, "text": 5})", QByteArray("7")})
        EXPECT_FALSE(HistoryStore::decode("[" + bad + "]")) << bad.constData();
    EXPECT_FALSE(HistoryStore::decode("{}"));
}

TEST(HistoryStoreCorruption, StartsEmptyAndKeepsWhatItCouldNotReadBeforeWriting) {
    RecordingDefaultsStore store;
    const QByteArray damaged(R"([{"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "da)");
    for (const QVariant& stored : {QVariant(damaged), QVariant(QStringLiteral("[]"))}) {
        store.values.setValue(QStringLiteral("readingHistory"), stored);
        store.written.clear();
        HistoryStore history(store);
        EXPECT_TRUE(history.entries().isEmpty());
        EXPECT_TRUE(store.written.isEmpty());
        history.add(QStringLiteral("fresh"));
        history.add(QStringLiteral("again"));
        ASSERT_EQ(store.written.size(), 3);
        EXPECT_TRUE(store.written[0].startsWith(QStringLiteral("readingHistory.corrupt-")));
        EXPECT_EQ(store.value(store.written[0]), stored);
        EXPECT_EQ(texts(HistoryStore(store)), (QStringList{"again", "fresh"}));
    }
}

TEST(HistoryStoreTitle, FirstNonEmptyLineTrimmedAndCutAtFortyFourCharacters) {
    const QString fortyFour(44, QLatin1Char('a'));
    // A family emoji and a letter with a combining accent are one character each.
    QString wide;
    for (int i = 0; i < 44; ++i)
        wide += (i % 2) ? QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467")
                        : QStringLiteral("e\u0301");
    // Windows and old Mac line ends and the Unicode separators end a line as well.
    const std::pair<QString, QString> cases[] = {
        {"\nsecond line\nthird", "second line"},
        {" \t first \t\nnext", "first"},
        {"", ""},
        {"\r\none\r\ntwo", "one"},
        {"one\rtwo\u2028three", "one"},
        {fortyFour, fortyFour},
        {fortyFour + "bcdefg", fortyFour + u'\u2026'},
        {wide, wide},
        {wide + "!", wide + u'\u2026'},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ((HistoryStore::Entry{{}, {}, text}.title()), expected) << text.toStdString();
}

namespace {

class HistoryOnFile : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("blinkwit/defaults.json")); }
    QJsonObject onDisk() const {
        QFile file(path());
        file.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(file.readAll()).object();
    }
    QStringList largeValues() const {
        return QDir(dir.filePath(QStringLiteral("blinkwit/large-values"))).entryList(QDir::Files);
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(HistoryOnFile, ReadersStartedTogetherAllLandInTheHistoryNewestFirst) {
    constexpr int readers = 8;
    std::unique_ptr<QProcess> writers[readers];
    for (int i = 0; i < readers; ++i) {
        writers[i] = std::make_unique<QProcess>();
        Blinkwit::Testing::startDefaultsWriter(
            *writers[i], path(), {QStringLiteral("history"), QStringLiteral("text %1").arg(i)});
        ASSERT_TRUE(writers[i]->waitForStarted());
    }
    for (auto& writer : writers)
        writer->closeWriteChannel();
    for (auto& writer : writers) {
        ASSERT_TRUE(writer->waitForFinished(60000));
        EXPECT_EQ(writer->exitCode(), 0);
    }
    JsonFileDefaultsStore store(path());
    const HistoryStore history(store);
    EXPECT_EQ(texts(history).size(), readers);
    for (int i = 0; i < readers; ++i)
        EXPECT_TRUE(texts(history).contains(QStringLiteral("text %1").arg(i))) << i;
    for (qsizetype i = 1; i < history.entries().size(); ++i)
        EXPECT_GE(history.entries()[i - 1].date, history.entries()[i].date);
}

TEST_F(HistoryOnFile, HistoryThisVersionCannotReadIsKeptAsideWhateverBrokeIt) {
    const QJsonValue broken[] = {
        QJsonArray{QJsonObject{{"text", "untagged"}}},
        QJsonObject{{"type", "history"}, {"value", "W10="}},
        QJsonObject{{"type", "data"}, {"value", "W3sidGV4dCI6\nICJ4In1d"}},
        QJsonObject{{"type", "data"}, {"value", "eyJ0ZXh0IjogInkifQ=="}},
        QJsonObject{{"type", "string"}, {"value", "[]"}},
    };
    for (const QJsonValue& stored : broken) {
        QDir(dir.path()).removeRecursively();
        {
            JsonFileDefaultsStore store(path());
            store.setValue(QStringLiteral("fontSize"), 30.0);
        }
        QJsonObject object = onDisk();
        object.insert(QStringLiteral("readingHistory"), stored);
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(object).toJson());
        file.close();
        JsonFileDefaultsStore store(path());
        HistoryStore history(store);
        EXPECT_TRUE(history.entries().isEmpty());
        history.add(QStringLiteral("fresh"));
        QJsonValue setAside;
        const QJsonObject after = onDisk();
        for (const QString& key : after.keys())
            if (key.startsWith(QStringLiteral("readingHistory.corrupt-")))
                setAside = after[key];
        EXPECT_EQ(setAside, stored) << QJsonDocument(QJsonArray{stored}).toJson().constData();
        EXPECT_EQ(texts(HistoryStore(store)), QStringList{QStringLiteral("fresh")});
    }
}

TEST_F(HistoryOnFile, ALargeTextIsKeptInAFileOfItsOwnAndReadOnlyWhenAsked) {
    QString large = QStringLiteral("Cafe\u0301 title");
    while (large.size() < 300000)
        large += QStringLiteral("\nSome words of a long text that someone read.");
    const QString composed =
        QString(large).replace(QStringLiteral("e\u0301"), QStringLiteral("\u00E9"));
    {
        JsonFileDefaultsStore store(path());
        HistoryStore history(store);
        history.add(large);
        history.add(QStringLiteral("small"));
        // Canonically equivalent: the same entry, moved to the top.
        history.add(composed);
        EXPECT_EQ(history.entries().size(), 2);
        EXPECT_EQ(largeValues().size(), 1);
    }
    EXPECT_LT(QFileInfo(path()).size(), 20000);
    JsonFileDefaultsStore store(path());
    HistoryStore history(store);
    const HistoryStore::Entry entry = history.entries().front();
    EXPECT_EQ(entry.title(), QStringLiteral("Caf\u00E9 title"));
    EXPECT_LE(entry.text.size(), HistoryStore::previewLength);
    EXPECT_TRUE(composed.startsWith(entry.text));
    EXPECT_EQ(history.wholeText(entry), composed);
    // What older versions read: the entry, with the text's beginning.
    const auto stored =
        HistoryStore::decode(store.value(QStringLiteral("readingHistory")).toByteArray());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->front().text, entry.text);
    history.clear();
    EXPECT_TRUE(largeValues().isEmpty());

    // A large text an older version stored inline moves to a file of its own.
    store.setValue(QStringLiteral("readingHistory"),
                   HistoryStore::encode({{QUuid::createUuid(), entry.date, large}}));
    HistoryStore(store).add(QStringLiteral("next"));
    EXPECT_LT(QFileInfo(path()).size(), 20000);
    EXPECT_EQ(largeValues().size(), 1);

    // Named by the digest of the whole text, though it is hashed in blocks: here every block
    // would end inside a surrogate pair.
    const QString pairs = QStringLiteral("x") + QStringLiteral("\U0001F600").repeated(40000);
    HistoryStore(store).add(pairs);
    EXPECT_TRUE(largeValues().contains(
        QCryptographicHash::hash(pairs.toUtf8(), QCryptographicHash::Sha256).toHex() + ".txt"))
        << largeValues().join(' ').toStdString();
}
