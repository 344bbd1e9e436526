#include "TypedJsonValue.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <cmath>
#include <limits>

namespace Blinkwit::TypedJsonValue {

namespace {

// Integers beyond 2^53 do not survive a JSON number (a double); they are written as text.
constexpr qint64 largestExactInteger = qint64(1) << 53;

QJsonValue tagged(const char* type, const QJsonValue& value) {
    return QJsonObject{{QStringLiteral("type"), QLatin1String(type)},
                       {QStringLiteral("value"), value}};
}

std::optional<QJsonValue> encodeInteger(const QVariant& value) {
    if (value.typeId() == QMetaType::ULongLong &&
        value.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    const qint64 number = value.toLongLong();
    if (number > largestExactInteger || number < -largestExactInteger)
        return tagged("integer", QString::number(number));
    return tagged("integer", double(number));
}

// JSON has no infinities or NaN; they are written as text.
QJsonValue encodeDouble(double number) {
    if (std::isfinite(number))
        return tagged("double", number);
    if (std::isnan(number))
        return tagged("double", QStringLiteral("nan"));
    return tagged("double", number > 0 ? QStringLiteral("inf") : QStringLiteral("-inf"));
}

std::optional<QJsonValue> encodeDate(const QDateTime& date) {
    if (!date.isValid())
        return std::nullopt;
    return tagged("date", date.toUTC().toString(Qt::ISODateWithMs));
}

std::optional<QJsonValue> encodeArray(const QVariantList& list) {
    QJsonArray array;
    for (const QVariant& element : list) {
        const std::optional<QJsonValue> encoded = encode(element);
        if (!encoded)
            return std::nullopt;
        array.append(*encoded);
    }
    return tagged("array", array);
}

QVariant decodeInteger(const QJsonValue& value) {
    if (value.isString()) {
        bool ok = false;
        const qint64 number = value.toString().toLongLong(&ok);
        return ok ? QVariant(number) : QVariant();
    }
    if (!value.isDouble())
        return {};
    const double number = value.toDouble();
    if (std::trunc(number) != number || std::fabs(number) > double(largestExactInteger))
        return {};
    return QVariant(qint64(number));
}

QVariant decodeDouble(const QJsonValue& value) {
    if (value.isDouble())
        return value.toDouble();
    const QString text = value.toString();
    if (text == QLatin1String("nan"))
        return std::numeric_limits<double>::quiet_NaN();
    if (text == QLatin1String("inf"))
        return std::numeric_limits<double>::infinity();
    if (text == QLatin1String("-inf"))
        return -std::numeric_limits<double>::infinity();
    return {};
}

QVariant decodeData(const QJsonValue& value) {
    if (!value.isString())
        return {};
    auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                  QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? QVariant(*decoded) : QVariant();
}

QVariant decodeDate(const QJsonValue& value) {
    if (!value.isString())
        return {};
    const QDateTime date = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
    return date.isValid() ? QVariant(date.toUTC()) : QVariant();
}

QVariant decodeArray(const QJsonValue& value) {
    if (!value.isArray())
        return {};
    QVariantList list;
    for (const QJsonValue& element : value.toArray()) {
        QVariant decoded = decode(element);
        if (!decoded.isValid())
            return {};
        list.append(std::move(decoded));
    }
    return list;
}

} // namespace

std::optional<QJsonValue> encode(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return encodeInteger(value);
    case QMetaType::Double:
    case QMetaType::Float:
        return encodeDouble(value.toDouble());
    case QMetaType::Bool:
        return tagged("boolean", value.toBool());
    case QMetaType::QString:
        return tagged("string", value.toString());
    case QMetaType::QByteArray:
        return tagged("data", QString::fromLatin1(value.toByteArray().toBase64()));
    case QMetaType::QDateTime:
        return encodeDate(value.toDateTime());
    case QMetaType::QVariantList:
        return encodeArray(value.toList());
    case QMetaType::QStringList:
        return encodeArray(QVariant(value.toStringList()).toList());
    default:
        return std::nullopt;
    }
}

QVariant decode(const QJsonValue& json) {
    const QJsonObject object = json.toObject();
    const QString type = object.value(QStringLiteral("type")).toString();
    const QJsonValue value = object.value(QStringLiteral("value"));
    if (type == QLatin1String("integer"))
        return decodeInteger(value);
    if (type == QLatin1String("double"))
        return decodeDouble(value);
    if (type == QLatin1String("boolean"))
        return value.isBool() ? QVariant(value.toBool()) : QVariant();
    if (type == QLatin1String("string"))
        return value.isString() ? QVariant(value.toString()) : QVariant();
    if (type == QLatin1String("data"))
        return decodeData(value);
    if (type == QLatin1String("date"))
        return decodeDate(value);
    if (type == QLatin1String("array"))
        return decodeArray(value);
    return {};
}

} // namespace Blinkwit::TypedJsonValue
