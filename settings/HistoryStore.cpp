#include "HistoryStore.h"

#include "DefaultsStore.h"
#include "JsonFileDefaultsStore.h"
#include "core/UnicodeText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <vector>

namespace Blinkwit {

namespace {

// 2001-01-01T00:00:00Z in milliseconds since the Unix epoch: the origin of stored dates.
constexpr qint64 referenceDateMilliseconds = 978307200000LL;
// Dates further than this from the origin (about 3000 years) are not dates a history holds.
constexpr double largestStoredSeconds = 1e11;

icu::UnicodeString toIcu(QStringView text) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
}

// The user-perceived characters of text, as views into it.
std::vector<QStringView> graphemes(QStringView text) {
    const std::vector<std::int32_t> bounds =
        BlinkwitCore::UnicodeText::graphemeBoundaries(toIcu(text));
    std::vector<QStringView> clusters;
    for (std::size_t i = 1; i < bounds.size(); ++i)
        clusters.push_back(text.sliced(bounds[i - 1], bounds[i] - bounds[i - 1]));
    return clusters;
}

// Carriage return plus line feed, a lone carriage return and the Unicode separators end a line
// as well as a line feed does: otherwise a title would carry a line break into the menu.
bool isLineBreak(QStringView cluster) {
    static const QStringView breaks[] = {u"\n", u"\r\n", u"\r", u"\u0085", u"\u2028", u"\u2029"};
    return std::find(std::begin(breaks), std::end(breaks), cluster) != std::end(breaks);
}

bool isSpaceOrTab(QStringView cluster) {
    return cluster == u" " || cluster == u"\t";
}

QString joined(std::vector<QStringView>::const_iterator begin,
               std::vector<QStringView>::const_iterator end) {
    QString text;
    for (auto it = begin; it != end; ++it)
        text += *it;
    return text;
}

double secondsSinceReferenceDate(const QDateTime& date) {
    return double(date.toMSecsSinceEpoch() - referenceDateMilliseconds) / 1000.0;
}

std::optional<QDateTime> dateFromSeconds(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double seconds = value.toDouble();
    if (!std::isfinite(seconds) || std::fabs(seconds) > largestStoredSeconds)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(
        qint64(std::llround(seconds * 1000.0)) + referenceDateMilliseconds, Qt::UTC);
}

// Only the 36-character form; QUuid alone would also take braces.
std::optional<QUuid> uuidFromString(const QJsonValue& value) {
    const QString text = value.toString();
    if (!value.isString() || text.size() != 36)
        return std::nullopt;
    const QUuid id = QUuid::fromString(text);
    if (id.toString(QUuid::WithoutBraces).compare(text, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return id;
}

std::optional<HistoryStore::Entry> entryFromJson(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    const std::optional<QUuid> id = uuidFromString(object.value(QStringLiteral("id")));
    const std::optional<QDateTime> date = dateFromSeconds(object.value(QStringLiteral("date")));
    const QJsonValue text = object.value(QStringLiteral("text"));
    if (!value.isObject() || !id || !date || !text.isString())
        return std::nullopt;
    return HistoryStore::Entry{*id, *date, text.toString()};
}

QString timestampForKey() {
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
}

} // namespace

QString HistoryStore::Entry::title() const {
    const std::vector<QStringView> clusters = graphemes(text);
    // The first non-empty line; the whole text when it has none.
    auto lineBegin = clusters.begin();
    auto lineEnd = clusters.end();
    for (auto it = clusters.begin(); it != clusters.end();) {
        const auto lineBreak = std::find_if(it, clusters.end(), isLineBreak);
        if (lineBreak != it) {
            lineBegin = it;
            lineEnd = lineBreak;
            break;
        }
        it = lineBreak + 1;
    }
    while (lineBegin != lineEnd && isSpaceOrTab(*lineBegin))
        ++lineBegin;
    while (lineEnd != lineBegin && isSpaceOrTab(*(lineEnd - 1)))
        --lineEnd;
    if (lineEnd - lineBegin <= titleLength)
        return joined(lineBegin, lineEnd);
    return joined(lineBegin, lineBegin + titleLength) + QChar(0x2026);
}

HistoryStore::HistoryStore(DefaultsStore& defaults, QObject* parent)
    : QObject(parent)
    , defaults_(defaults) {
    load();
}

HistoryStore& HistoryStore::shared() {
    static auto* instance = new HistoryStore(JsonFileDefaultsStore::standard());
    return *instance;
}

void HistoryStore::load() {
    const QVariant stored = defaults_.value(QLatin1String(key));
    if (!stored.isValid())
        return;
    std::optional<QList<Entry>> decoded;
    if (stored.typeId() == QMetaType::QByteArray)
        decoded = decode(stored.toByteArray());
    if (decoded)
        entries_ = std::move(*decoded);
    else
        unreadable_ = stored;
}

void HistoryStore::setEntries(QList<Entry> entries) {
    emit aboutToChange();
    entries_ = std::move(entries);
    emit entriesChanged();
}

void HistoryStore::clear() {
    setEntries({});
    persist();
}

void HistoryStore::add(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return;
    QList<Entry> updated = entries_;
    updated.removeIf([&trimmed](const Entry& entry) { return sameText(entry.text, trimmed); });
    updated.prepend(Entry{QUuid::createUuid(), QDateTime::currentDateTimeUtc(), trimmed});
    if (updated.size() > capacity)
        updated.resize(capacity);
    setEntries(std::move(updated));
    persist();
}

void HistoryStore::persist() {
    keepUnreadableAside();
    defaults_.setValue(QLatin1String(key), encode(entries_));
}

void HistoryStore::keepUnreadableAside() {
    if (!unreadable_.isValid())
        return;
    defaults_.setValue(QLatin1String(key) + QStringLiteral(".corrupt-") + timestampForKey(),
                       unreadable_);
    unreadable_ = QVariant();
}

QByteArray HistoryStore::encode(const QList<Entry>& entries) {
    QJsonArray array;
    for (const Entry& entry : entries)
        array.append(QJsonObject{
            {QStringLiteral("id"), entry.id.toString(QUuid::WithoutBraces).toUpper()},
            {QStringLiteral("date"), secondsSinceReferenceDate(entry.date)},
            {QStringLiteral("text"), entry.text},
        });
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

std::optional<QList<HistoryStore::Entry>> HistoryStore::decode(const QByteArray& data) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    QList<Entry> entries;
    for (const QJsonValue& value : document.array()) {
        std::optional<Entry> entry = entryFromJson(value);
        if (!entry)
            return std::nullopt;
        entries.append(std::move(*entry));
    }
    return entries;
}

bool HistoryStore::sameText(const QString& a, const QString& b) {
    if (a == b)
        return true;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return false;
    const icu::UnicodeString left = nfc->normalize(toIcu(a), status);
    const icu::UnicodeString right = nfc->normalize(toIcu(b), status);
    return U_SUCCESS(status) && left == right;
}

} // namespace Blinkwit
