#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <memory>
#include <optional>

namespace Blinkwit {

// The update image: an uncompressed POSIX tar holding exactly two regular files, Blinkwit.tar.xz
// (the compressed bundle) and Blinkwit.tar.xz.sig (a small JSON object naming the signer's
// "publicKey" and the Ed25519 "signature" over Blinkwit.tar.xz, both base64). The image is
// mapped, not read: the signature is checked over the mapped bytes.
class UpdateImage {
public:
    static constexpr qint64 maximumSize = 256LL * 1024 * 1024;
    static constexpr const char* archiveName = "Blinkwit.tar.xz";
    static constexpr const char* signatureName = "Blinkwit.tar.xz.sig";

    explicit UpdateImage(const QString& path);
    ~UpdateImage();
    UpdateImage(const UpdateImage&) = delete;
    UpdateImage& operator=(const UpdateImage&) = delete;

    // Checks the structure and that the signature holds for the archive under the key it names.
    // Returns what is wrong, or none; after success archive() and signer() are valid.
    std::optional<QString> assess();

    QByteArrayView archive() const { return archive_; }
    const QString& signer() const { return signer_; }

private:
    std::optional<QString> readMembers(QByteArrayView image, QByteArrayView* signature);
    std::optional<QString> checkSignature(QByteArrayView signatureFile);

    QFile file_;
    QByteArrayView archive_;
    QString signer_;
};

} // namespace Blinkwit
