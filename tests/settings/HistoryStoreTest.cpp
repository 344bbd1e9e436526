#include "settings/HistoryStore.h"

#include "tests/settings/RecordingDefaultsStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using Blinkwit::HistoryStore;
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
