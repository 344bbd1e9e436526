#include "CodeSignature.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace Blinkwit {

namespace {

bool isBundleRelative(const QString& path) {
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')) || path.contains(QChar(0)))
        return false;
    const QStringList parts = path.split(QLatin1Char('/'));
    return std::none_of(parts.begin(), parts.end(), [](const QString& part) {
        return part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..");
    });
}

} // namespace

std::optional<CodeSignature::File> CodeSignature::parseLine(const QString& line) {
    static const QRegularExpression shape(QStringLiteral("^([0-7]{4}) ([0-9a-f]{64}) (.+)$"));
    const QRegularExpressionMatch match = shape.match(line);
    if (!match.hasMatch() || !isBundleRelative(match.captured(3)) ||
        match.captured(3) == QLatin1String("CodeSignature.json"))
        return std::nullopt;
    return File{match.captured(3), match.captured(1).toInt(nullptr, 8), match.captured(2)};
}

std::variant<CodeSignature, QString> CodeSignature::read(const QString& path,
                                                         const Ed25519PublicKey& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumSize)
        return QStringLiteral("CodeSignature.json is missing or unreadable");
    const QJsonObject object = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonValue files = object.value(QLatin1String("files"));
    const auto signature = QByteArray::fromBase64Encoding(
        object.value(QLatin1String("signature")).toString().toLatin1(),
        QByteArray::AbortOnBase64DecodingErrors);
    if (!files.isArray() || !signature)
        return QStringLiteral("CodeSignature.json is not a signed file list");

    QByteArray signedText;
    CodeSignature result;
    QSet<QString> seen;
    for (const QJsonValue& entry : files.toArray()) {
        const std::optional<File> parsed = parseLine(entry.toString());
        if (!entry.isString() || !parsed)
            return QStringLiteral("CodeSignature.json has a malformed entry");
        if (seen.contains(parsed->path))
            return QStringLiteral("CodeSignature.json lists %1 twice").arg(parsed->path);
        seen.insert(parsed->path);
        signedText += entry.toString().toUtf8() + '\n';
        result.files_.append(*parsed);
    }
    if (!key.verify(signedText, *signature))
        return QStringLiteral("the code signature doesn't match its file list");
    return result;
}

} // namespace Blinkwit
