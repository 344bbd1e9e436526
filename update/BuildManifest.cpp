#include "BuildManifest.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace Blinkwit {

namespace {

struct Reader {
    const QJsonObject& object;
    QString* error;
    bool ok = true;

    QString required(const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (!value.isString())
            fail(value.isUndefined() ? QStringLiteral("The build manifest has no \"%1\".")
                                     : QStringLiteral("\"%1\" in the build manifest isn't text."),
                 key);
        return value.toString();
    }

    std::optional<QString> optional(const char* key) {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return std::nullopt;
        if (!value.isString())
            fail(QStringLiteral("\"%1\" in the build manifest isn't text."), key);
        return value.toString();
    }

    void fail(const QString& pattern, const char* key) {
        if (ok && error)
            *error = pattern.arg(QLatin1String(key));
        ok = false;
    }
};

} // namespace

std::optional<BuildManifest> BuildManifest::decode(const QByteArray& json, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        if (error)
            *error = parseError.error != QJsonParseError::NoError
                         ? QStringLiteral("The build manifest isn't valid JSON (%1).")
                               .arg(parseError.errorString())
                         : QStringLiteral("The build manifest isn't a JSON object.");
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    Reader read{object, error};
    BuildManifest manifest{
        read.required("version"), read.required("build"), read.required("commit"), {},
        read.optional("sha256"),  read.optional("notes"), read.optional("date")};
    const QString dmg = read.required("dmg");
    manifest.dmg = QUrl(dmg, QUrl::StrictMode);
    if (read.ok && (dmg.isEmpty() || !manifest.dmg.isValid() || manifest.dmg.isRelative()))
        read.fail(QStringLiteral("\"%1\" in the build manifest isn't an address."), "dmg");
    if (!read.ok)
        return std::nullopt;
    return manifest;
}

} // namespace Blinkwit
