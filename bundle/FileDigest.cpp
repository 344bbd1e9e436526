#include "FileDigest.h"

#include <QCryptographicHash>
#include <QFile>

namespace Blinkwit {

std::optional<QString> FileDigest::sha256(const QString& path, QString* error) {
    QFile file(path);
    const auto fail = [&]() -> std::optional<QString> {
        if (error)
            *error = QStringLiteral("Couldn't read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    };
    if (!file.open(QIODevice::ReadOnly))
        return fail();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray piece(pieceSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(piece.data(), pieceSize);
        if (read < 0)
            return fail();
        if (read == 0)
            break;
        hash.addData(QByteArrayView(piece.constData(), read));
    }
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace Blinkwit
