#include "UpdateImage.h"

#include "Ed25519PublicKey.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <numeric>

namespace Blinkwit {

namespace {

constexpr qsizetype block = 512;
constexpr qint64 maximumSignatureSize = 4096;

struct Member {
    QByteArray name;
    qint64 size = -1;
};

QByteArray field(QByteArrayView header, qsizetype offset, qsizetype length) {
    const QByteArrayView bytes = header.sliced(offset, length);
    const qsizetype end = bytes.indexOf('\0');
    return (end < 0 ? bytes : bytes.first(end)).toByteArray();
}

// An octal number field, NUL- or space-terminated; negative when it is not one.
qint64 octal(QByteArrayView header, qsizetype offset, qsizetype length) {
    const QByteArray text = field(header, offset, length).trimmed();
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 8);
    return ok && !text.isEmpty() && !text.startsWith('-') && !text.startsWith('+') ? value : -1;
}

bool checksumHolds(QByteArrayView header) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(header.data());
    const qint64 sum = std::accumulate(bytes, bytes + block, qint64(0)) -
                       std::accumulate(bytes + 148, bytes + 156, qint64(0)) + 8 * ' ';
    return octal(header, 148, 8) == sum;
}

// A plain regular-file entry of a ustar archive; none for anything else.
std::optional<Member> member(QByteArrayView header) {
    const QByteArrayView magic = header.sliced(257, 8);
    const bool ustar = magic == QByteArrayView("ustar\0"
                                               "00",
                                               8) ||
                       magic == QByteArrayView("ustar  \0", 8);
    const char type = header[156];
    if (!ustar || !checksumHolds(header) || (type != '0' && type != '\0') || header[345] != '\0')
        return std::nullopt;
    return Member{field(header, 0, 100), octal(header, 124, 12)};
}

bool allZero(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == '\0'; });
}

} // namespace

UpdateImage::UpdateImage(const QString& path)
    : file_(path) {}

UpdateImage::~UpdateImage() = default;

std::optional<QString> UpdateImage::assess() {
    if (!file_.open(QIODevice::ReadOnly))
        return QStringLiteral("the image can't be read: %1").arg(file_.errorString());
    if (file_.size() > maximumSize)
        return QStringLiteral("the image is larger than %1 MiB").arg(maximumSize >> 20);
    if (file_.size() < 3 * block)
        return QStringLiteral("the file is not an update image");
    const uchar* mapped = file_.map(0, file_.size());
    if (!mapped)
        return QStringLiteral("the image can't be read: %1").arg(file_.errorString());
    QByteArrayView signature;
    if (auto problem = readMembers({mapped, file_.size()}, &signature))
        return problem;
    return checkSignature(signature);
}

std::optional<QString> UpdateImage::readMembers(QByteArrayView image, QByteArrayView* signature) {
    bool haveArchive = false;
    bool haveSignature = false;
    qsizetype offset = 0;
    while (offset + block <= image.size() && !allZero(image.sliced(offset, block))) {
        const std::optional<Member> entry = member(image.sliced(offset, block));
        if (!entry || entry->size < 0 || entry->size > image.size() - offset - block)
            return QStringLiteral("the file is not an update image");
        const QByteArrayView data = image.sliced(offset + block, entry->size);
        if (entry->name == archiveName && !haveArchive) {
            archive_ = data;
            haveArchive = true;
        } else if (entry->name == signatureName && !haveSignature &&
                   entry->size <= maximumSignatureSize) {
            *signature = data;
            haveSignature = true;
        } else {
            return QStringLiteral("the image holds an unexpected member: %1")
                .arg(QString::fromUtf8(entry->name));
        }
        offset += block + (entry->size + block - 1) / block * block;
    }
    if (!haveArchive || !haveSignature)
        return QStringLiteral("the image lacks %1")
            .arg(QLatin1String(haveArchive ? signatureName : archiveName));
    if (!allZero(image.sliced(std::min(offset, image.size()))))
        return QStringLiteral("the image has data after its end");
    return std::nullopt;
}

std::optional<QString> UpdateImage::checkSignature(QByteArrayView signatureFile) {
    const QJsonObject object = QJsonDocument::fromJson(signatureFile.toByteArray()).object();
    const std::optional<Ed25519PublicKey> key =
        Ed25519PublicKey::fromBase64(object.value(QLatin1String("publicKey")).toString());
    const auto signature = QByteArray::fromBase64Encoding(
        object.value(QLatin1String("signature")).toString().toLatin1(),
        QByteArray::AbortOnBase64DecodingErrors);
    if (!key || !signature)
        return QStringLiteral("the image's signature file is malformed");
    if (!key->verify(archive_, *signature))
        return QStringLiteral("the signature doesn't match the image's contents");
    signer_ = key->signerId();
    return std::nullopt;
}

} // namespace Blinkwit
