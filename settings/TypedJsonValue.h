#pragma once

#include <QJsonValue>
#include <QVariant>
#include <optional>

namespace Blinkwit::TypedJsonValue {

// A defaults value as JSON that keeps its type: {"type": "integer", "value": 650}. Types:
// integer (qint64), double, boolean, string, data (base64), date (ISO 8601 UTC with
// milliseconds) and array (of typed values).

// None for a value of any other type (or an array holding one).
std::optional<QJsonValue> encode(const QVariant& value);
// An invalid QVariant for anything that is not a well-formed typed value.
QVariant decode(const QJsonValue& json);

} // namespace Blinkwit::TypedJsonValue
