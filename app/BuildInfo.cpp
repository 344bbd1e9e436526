#include "BuildInfo.h"

#include "BuildIdentity.h"
#include "bundle/Bundle.h"

namespace Blinkwit {

namespace {

constexpr int shortCommitLength = 7;

const std::optional<Bundle>& runningBundle() {
    static const std::optional<Bundle> bundle = Bundle::running();
    return bundle;
}

} // namespace

QUrl BuildInfo::manifestURL() {
    static const QUrl url(QStringLiteral(BLINKWIT_MANIFEST_URL));
    return url;
}

std::optional<QString> BuildInfo::string(const QString& key) {
    if (const auto& bundle = runningBundle())
        return bundle->infoString(key);
    return compiledIn(key);
}

std::optional<QString> BuildInfo::commit() {
    return commit(&BuildInfo::string);
}

QString BuildInfo::displayString() {
    return displayString(&BuildInfo::string);
}

std::optional<QString> BuildInfo::commit(const InfoLookup& info) {
    const std::optional<QString> value = info(QLatin1String(commitKey));
    if (!value || value->isEmpty() || *value == QLatin1String("unknown"))
        return std::nullopt;
    return value;
}

QString BuildInfo::displayString(const InfoLookup& info) {
    QString text =
        info(QLatin1String(versionKey)).value_or(QStringLiteral("0.0.0")) + QStringLiteral(" (") +
        info(QLatin1String(buildNumberKey)).value_or(QStringLiteral("0")) + QLatin1Char(')');
    if (const auto hash = commit(info))
        text += QStringLiteral(" · ") + hash->left(shortCommitLength);
    return text;
}

std::optional<QString> BuildInfo::compiledIn(const QString& key) {
    if (key == QLatin1String(versionKey))
        return QStringLiteral(BLINKWIT_VERSION);
    if (key == QLatin1String(buildNumberKey))
        return QStringLiteral(BLINKWIT_BUILD_NUMBER);
    if (key == QLatin1String(commitKey))
        return QStringLiteral(BLINKWIT_GIT_COMMIT);
    if (key == QLatin1String(identifierKey))
        return QString::fromLatin1(identifier);
    return std::nullopt;
}

} // namespace Blinkwit
