#include "HistoryStore.h"

#include "DefaultsStore.h"
#include "JsonFileDefaultsStore.h"
#include "core/UnicodeText.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <string>
#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>
#include <utility>
#include <vector>

namespace Blinkwit {

namespace {

// 2001-01-01T00:00:00Z in milliseconds since the Unix epoch: the origin of stored dates.
constexpr qint64 referenceDateMilliseconds = 978307200000LL;
// Dates further than this from the origin (about 3000 years) are not dates a history holds.
constexpr double largestStoredSeconds = 1e11;

// A read-only view of text: a history entry may be tens of megabytes.
icu::UnicodeString toIcu(QStringView text) {
    return icu::UnicodeString(false, reinterpret_cast<const UChar*>(text.utf16()),
                              int32_t(text.size()));
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
    // A name that is not one the store could hold is ignored: the inline beginning remains.
    const QString textFile = object.value(QStringLiteral("textFile")).toString();
    return HistoryStore::Entry{*id, *date, text.toString(),
                               DefaultsStore::isLargeValueName(textFile) ? textFile : QString()};
}

std::optional<QList<HistoryStore::Entry>> decodeStored(const QVariant& stored) {
    if (stored.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return HistoryStore::decode(stored.toByteArray());
}

// SHA-256 of text's UTF-8 form and that form's length, converted a block at a time: a text may
// be tens of megabytes. Blocks never split a surrogate pair.
std::pair<QByteArray, std::size_t> utf8Digest(const icu::UnicodeString& text) {
    constexpr std::int32_t block = 1 << 16;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    std::size_t bytes = 0;
    std::string piece;
    for (std::int32_t at = 0; at < text.length();) {
        std::int32_t end = std::min(text.length(), at + block);
        if (end < text.length() && U16_IS_LEAD(text.charAt(end - 1)))
            --end;
        piece.clear();
        text.tempSubStringBetween(at, end).toUTF8String(piece);
        hash.addData(QByteArrayView(piece));
        bytes += piece.size();
        at = end;
    }
    return {hash.result(), bytes};
}

// The name of the large value for a text too large to keep inline: the digest of its NFC form,
// which canonically equivalent texts share. None for a text kept inline.
std::optional<QString> largeTextName(const QString& text) {
    // NFC at most triples the code points, each at most 3 bytes of UTF-8 per UTF-16 unit.
    if (text.size() * 9 <= HistoryStore::largestInlineText)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return std::nullopt;
    // Most texts are in NFC already; normalising would copy them whole.
    const icu::UnicodeString whole = toIcu(text);
    const bool normal = nfc->isNormalized(whole, status);
    const icu::UnicodeString normalized =
        normal ? icu::UnicodeString() : nfc->normalize(whole, status);
    if (U_FAILURE(status))
        return std::nullopt;
    const auto [digest, bytes] = utf8Digest(normal ? whole : normalized);
    if (qsizetype(bytes) <= HistoryStore::largestInlineText)
        return std::nullopt;
    return QString::fromLatin1(digest.toHex()) + QStringLiteral(".txt");
}

// The first previewLength UTF-16 units, cut back to a character boundary.
QString beginning(const QString& text) {
    const QStringView window =
        QStringView(text).first(std::min(text.size(), HistoryStore::previewLength + qsizetype(32)));
    qsizetype cut = 0;
    for (const std::int32_t bound : BlinkwitCore::UnicodeText::graphemeBoundaries(toIcu(window)))
        if (bound <= HistoryStore::previewLength)
            cut = bound;
    return text.first(cut);
}

// Moves a large text into a large value of its own; its beginning stays inline.
void keepApart(DefaultsStore& defaults, HistoryStore::Entry& entry) {
    if (!entry.textFile.isEmpty())
        return;
    const std::optional<QString> name = largeTextName(entry.text);
    if (!name)
        return;
    defaults.putLarge(*name, entry.text.toUtf8());
    entry.textFile = *name;
    entry.text = beginning(entry.text);
}

bool sameEntryText(const HistoryStore::Entry& a, const HistoryStore::Entry& b) {
    if (a.textFile.isEmpty() != b.textFile.isEmpty())
        return false;
    return a.textFile.isEmpty() ? HistoryStore::sameText(a.text, b.text) : a.textFile == b.textFile;
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
    , defaults_(defaults)
    , entries_(decodeStored(defaults.value(QLatin1String(key))).value_or(QList<Entry>())) {}

HistoryStore& HistoryStore::shared() {
    static auto* instance = new HistoryStore(JsonFileDefaultsStore::standard());
    return *instance;
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

void HistoryStore::add(QString text) {
    const QString trimmed = std::move(text).trimmed();
    if (trimmed.isEmpty())
        return;
    Entry fresh{QUuid::createUuid(), QDateTime::currentDateTimeUtc(), trimmed, {}};
    keepApart(defaults_, fresh);
    store([fresh](QList<Entry> entries) mutable {
        entries.removeIf([&fresh](const Entry& entry) { return sameEntryText(entry, fresh); });
        // Dated when it joins the stored list, so that the list stays newest first whatever
        // order the processes adding to it took the store's lock in.
        fresh.date = QDateTime::currentDateTimeUtc();
        entries.prepend(fresh);
        if (entries.size() > capacity)
            entries.resize(capacity);
        return entries;
    });
}

void HistoryStore::persist() {
    store([entries = entries_](const QList<Entry>&) { return entries; });
}

void HistoryStore::store(const std::function<QList<Entry>(QList<Entry> stored)>& change) {
    // Runs on the store's newest value, perhaps again later: it must not refer to this object.
    DefaultsStore& defaults = defaults_;
    defaults_.update(QLatin1String(key), [&defaults, change](const QVariant& current) {
        const std::optional<QList<Entry>> stored =
            current.isValid() ? decodeStored(current) : QList<Entry>();
        QList<Entry> entries = stored.value_or(QList<Entry>());
        for (Entry& entry : entries)
            keepApart(defaults, entry);
        entries = change(std::move(entries));
        QStringList files;
        for (const Entry& entry : std::as_const(entries))
            if (!entry.textFile.isEmpty())
                files.append(entry.textFile);
        return DefaultsStore::Update{encode(entries), !stored, files};
    });
    setEntries(decodeStored(defaults_.value(QLatin1String(key))).value_or(QList<Entry>()));
}

QString HistoryStore::wholeText(const Entry& entry) const {
    if (entry.textFile.isEmpty())
        return entry.text;
    const std::optional<QByteArray> whole = defaults_.large(entry.textFile);
    return whole ? QString::fromUtf8(*whole) : entry.text;
}

QByteArray HistoryStore::encode(const QList<Entry>& entries) {
    QJsonArray array;
    for (const Entry& entry : entries) {
        QJsonObject object{
            {QStringLiteral("id"), entry.id.toString(QUuid::WithoutBraces).toUpper()},
            {QStringLiteral("date"), secondsSinceReferenceDate(entry.date)},
            {QStringLiteral("text"), entry.text},
        };
        if (!entry.textFile.isEmpty())
            object.insert(QStringLiteral("textFile"), entry.textFile);
        array.append(object);
    }
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
