#include "Bundle.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <utility>

namespace Blinkwit {

namespace {

// Info.json holds a handful of short strings; anything larger is not ours.
constexpr qint64 maximumInfoSize = 64 * 1024;

} // namespace

Bundle::Bundle(QString path)
    : path_(QDir::cleanPath(std::move(path))) {}

std::optional<Bundle> Bundle::running() {
    return containing(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
}

std::optional<Bundle> Bundle::containing(const QString& executablePath) {
    const QFileInfo executable(executablePath);
    const QDir bin = executable.absoluteDir();
    if (executablePath.isEmpty() || bin.dirName() != QLatin1String("bin"))
        return std::nullopt;
    Bundle bundle(QFileInfo(bin.absolutePath()).absolutePath());
    if (!QFileInfo(bundle.infoPath()).isFile())
        return std::nullopt;
    return bundle;
}

QString Bundle::executablePath() const {
    return path_ + QStringLiteral("/bin/blinkwit");
}

QString Bundle::infoPath() const {
    return path_ + QStringLiteral("/Info.json");
}

QString Bundle::codeSignaturePath() const {
    return path_ + QStringLiteral("/CodeSignature.json");
}

QString Bundle::sharePath() const {
    return path_ + QStringLiteral("/share");
}

std::optional<QString> Bundle::infoString(const QString& key) const {
    QFile file(infoPath());
    if (!QFileInfo(file).isFile() || file.size() > maximumInfoSize ||
        !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonValue value =
        QJsonDocument::fromJson(file.read(maximumInfoSize)).object().value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

std::optional<Ed25519PublicKey> Bundle::publicKey() const {
    const std::optional<QString> text = infoString(QString::fromLatin1(publicKeyKey));
    return text ? Ed25519PublicKey::fromBase64(*text) : std::nullopt;
}

} // namespace Blinkwit
