#include "settings/HistoryStore.h"

#include "settings/InMemoryDefaultsStore.h"
#include "tests/settings/RecordingDefaultsStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using Blinkwit::HistoryStore;
using Blinkwit::InMemoryDefaultsStore;
using Blinkwit::Testing::RecordingDefaultsStore;

namespace {

QString title(const QString& text) {
    return HistoryStore::Entry{{}, {}, text}.title();
}

QStringList texts(const HistoryStore& history) {
    QStringList result;
    for (const HistoryStore::Entry& entry : history.entries())
        result.append(entry.text);
    return result;
}

} // namespace

TEST(HistoryStoreAdd, TrimsAndMovesARepeatToTheTopWithAFreshIdentity) {
    InMemoryDefaultsStore store;
    HistoryStore history(store);
    history.add(QStringLiteral("  Hello world\n"));
    ASSERT_EQ(texts(history), QStringList{QStringLiteral("Hello world")});
    const HistoryStore::Entry first = history.entries().front();

    history.add(QStringLiteral("Other"));
    history.add(QStringLiteral("Hello world"));
    EXPECT_EQ(texts(history),
              (QStringList{QStringLiteral("Hello world"), QStringLiteral("Other")}));
    EXPECT_NE(history.entries().front().id, first.id);
    EXPECT_GE(history.entries().front().date, first.date);
}

TEST(HistoryStoreAdd, ComparesCaseSensitivelyButUpToCanonicalEquivalence) {
    InMemoryDefaultsStore store;
    HistoryStore history(store);
    history.add(QStringLiteral("Hello"));
    history.add(QStringLiteral("hello"));
    EXPECT_EQ(history.entries().size(), 2);

    history.add(QStringLiteral("caf\u00E9"));
    history.add(QStringLiteral("cafe\u0301"));
    EXPECT_EQ(texts(history), (QStringList{QStringLiteral("cafe\u0301"), QStringLiteral("hello"),
                                           QStringLiteral("Hello")}));
    // Compatibility forms are different texts.
    EXPECT_FALSE(HistoryStore::sameText(QStringLiteral("\uFB01"), QStringLiteral("fi")));
    EXPECT_TRUE(HistoryStore::sameText(QStringLiteral("\u212B"), QStringLiteral("\u00C5")));
}

TEST(HistoryStoreAdd, KeepsTheTenNewest) {
    InMemoryDefaultsStore store;
    HistoryStore history(store);
    for (int i = 1; i <= 11; ++i)
        history.add(QStringLiteral("text %1").arg(i));
    ASSERT_EQ(history.entries().size(), 10);
    EXPECT_EQ(history.entries().front().text, QStringLiteral("text 11"));
    EXPECT_EQ(history.entries().back().text, QStringLiteral("text 2"));
}

TEST(HistoryStoreAdd, BlankTextChangesAndWritesNothing) {
    InMemoryDefaultsStore store;
    HistoryStore history(store);
    int notifications = 0;
    QObject::connect(&history, &HistoryStore::entriesChanged, [&] { ++notifications; });
    history.add(QStringLiteral(" \n\t\r\n \u00A0"));
    EXPECT_TRUE(history.entries().isEmpty());
    EXPECT_EQ(notifications, 0);
    EXPECT_FALSE(store.value(QLatin1String(HistoryStore::key)).isValid());
}

TEST(HistoryStorePersistence, ANewInstanceSeesTheSameListAndClearingSticks) {
    InMemoryDefaultsStore store;
    HistoryStore history(store);
    history.add(QStringLiteral("one"));
    history.add(QStringLiteral("two"));
    HistoryStore reopened(store);
    EXPECT_EQ(reopened.entries(), history.entries());
    reopened.clear();
    EXPECT_TRUE(HistoryStore(store).entries().isEmpty());
}

TEST(HistoryStorePersistence, StoredFormIsACompactArrayOfIdDateAndText) {
    InMemoryDefaultsStore store;
    HistoryStore history(store);
    const QDateTime referenceDate = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    history.setEntries({HistoryStore::Entry{QUuid::createUuid(), referenceDate.addMSecs(1500),
                                            QStringLiteral("a/b \"c\"")}});
    history.persist();
    const QVariant stored = store.value(QStringLiteral("readingHistory"));
    ASSERT_EQ(stored.typeId(), QMetaType::QByteArray);
    EXPECT_FALSE(stored.toByteArray().contains('\n'));
    const QJsonArray array = QJsonDocument::fromJson(stored.toByteArray()).array();
    ASSERT_EQ(array.size(), 1);
    const QJsonObject object = array.first().toObject();
    EXPECT_EQ(object.keys(),
              (QStringList{QStringLiteral("date"), QStringLiteral("id"), QStringLiteral("text")}));
    EXPECT_DOUBLE_EQ(object[QStringLiteral("date")].toDouble(), 1.5);
    const QString id = object[QStringLiteral("id")].toString();
    EXPECT_EQ(id, history.entries().front().id.toString(QUuid::WithoutBraces).toUpper());
    EXPECT_EQ(id.size(), 36);
}

TEST(HistoryStorePersistence, DecodesWhatOtherEncodersWrite) {
    const QByteArray data = R"([
        {"text": "x\/y \u00e9", "date": 786000000.25, "id": "e621e1f8-c36c-495a-93fc-0c247a3e6e5f",
         "extra": 1},
        {"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5E", "date": -10, "text": ""}
    ])";
    const auto entries = HistoryStore::decode(data);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2);
    EXPECT_EQ(entries->at(0).text, QStringLiteral("x/y \u00E9"));
    EXPECT_EQ(entries->at(0).id, QUuid::fromString(u"e621e1f8-c36c-495a-93fc-0c247a3e6e5f"));
    EXPECT_EQ(entries->at(0).date.toMSecsSinceEpoch(), 978307200000LL + 786000000250LL);
    EXPECT_EQ(entries->at(1).date.toMSecsSinceEpoch(), 978307200000LL - 10000);
    EXPECT_EQ(HistoryStore::decode(HistoryStore::encode(*entries)), entries);
}

TEST(HistoryStorePersistence, RejectsMalformedEntries) {
    const char* good = R"("id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "date": 1, "text": "t")";
    EXPECT_TRUE(HistoryStore::decode(QByteArray("[{") + good + "}]"));
    for (const char* bad :
         {R"({"date": 1, "text": "t"})", R"({"id": "E621E1F8", "date": 1, "text": "t"})",
          R"({"id": "{E621E1F8-C36C-495A-93FC-0C247A3E6E}", "date": 1, "text": "t"})",
          R"({"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "date": "1", "text": "t"})",
          R"({"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "date": 1e300, "text": "t"})",
          R"({"id": "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "date": 1, "text": 5})", R"(7)"})
        EXPECT_FALSE(HistoryStore::decode(QByteArray("[") + bad + "]")) << bad;
    EXPECT_FALSE(HistoryStore::decode("{}"));
    EXPECT_FALSE(HistoryStore::decode("[{"));
}

TEST(HistoryStorePersistence, LoadsMoreThanTheCapacityAsStored) {
    QList<HistoryStore::Entry> twelve;
    for (int i = 0; i < 12; ++i)
        twelve.append({QUuid::createUuid(), QDateTime::currentDateTimeUtc(), QString::number(i)});
    InMemoryDefaultsStore store;
    store.setValue(QStringLiteral("readingHistory"), HistoryStore::encode(twelve));
    HistoryStore history(store);
    EXPECT_EQ(history.entries().size(), 12);
    history.add(QStringLiteral("new"));
    EXPECT_EQ(history.entries().size(), 10);
}

TEST(HistoryStoreCorruption, StartsEmptyAndKeepsTheUnreadableBytesAsideBeforeWriting) {
    RecordingDefaultsStore store;
    const QByteArray damaged("[{\"id\": \"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\", \"da");
    store.values.setValue(QStringLiteral("readingHistory"), damaged);
    HistoryStore history(store);
    EXPECT_TRUE(history.entries().isEmpty());
    EXPECT_TRUE(store.written.isEmpty());

    history.add(QStringLiteral("fresh"));
    history.add(QStringLiteral("again"));
    ASSERT_EQ(store.written.size(), 3);
    EXPECT_TRUE(store.written[0].startsWith(QStringLiteral("readingHistory.corrupt-")));
    EXPECT_EQ(store.value(store.written[0]).toByteArray(), damaged);
    EXPECT_EQ(store.written[1], QStringLiteral("readingHistory"));
    EXPECT_EQ(texts(HistoryStore(store)),
              (QStringList{QStringLiteral("again"), QStringLiteral("fresh")}));
}

TEST(HistoryStoreCorruption, ForeignTypesAreKeptAsideToo) {
    RecordingDefaultsStore store;
    store.values.setValue(QStringLiteral("readingHistory"), QStringLiteral("[]"));
    HistoryStore history(store);
    EXPECT_TRUE(history.entries().isEmpty());
    history.clear();
    ASSERT_EQ(store.written.size(), 2);
    EXPECT_EQ(store.value(store.written[0]), QVariant(QStringLiteral("[]")));
    EXPECT_EQ(store.value(QStringLiteral("readingHistory")).typeId(), QMetaType::QByteArray);
}

TEST(HistoryStoreTitle, TakesTheFirstNonEmptyLine) {
    EXPECT_EQ(title(QStringLiteral("\nsecond line\nthird")), QStringLiteral("second line"));
    EXPECT_EQ(title(QStringLiteral(" \t first \t\nnext")), QStringLiteral("first"));
    EXPECT_EQ(title(QStringLiteral("single")), QStringLiteral("single"));
    EXPECT_EQ(title(QString()), QString());
    // Windows and old Mac line ends and the Unicode separators end a line as well.
    EXPECT_EQ(title(QStringLiteral("one\r\ntwo")), QStringLiteral("one"));
    EXPECT_EQ(title(QStringLiteral("\r\none\rtwo")), QStringLiteral("one"));
    EXPECT_EQ(title(QStringLiteral("one\u2028two")), QStringLiteral("one"));
}

TEST(HistoryStoreTitle, CutsAtFortyFourUserPerceivedCharacters) {
    const QString fortyFour(44, QLatin1Char('a'));
    EXPECT_EQ(title(fortyFour), fortyFour);
    EXPECT_EQ(title(QString(50, QLatin1Char('b'))), QString(44, QLatin1Char('b')) + u'\u2026');
    // A family emoji and an accented letter made of two code points count as one character.
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    QString wide;
    for (int i = 0; i < 44; ++i)
        wide += (i % 2) ? family : QStringLiteral("e\u0301");
    EXPECT_EQ(title(wide), wide);
    EXPECT_EQ(title(wide + family), wide + u'\u2026');
}
