#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace Blinkwit {

// The public half of a release signing key. Its signer ID names the key in a few characters:
// the first 10 characters of the base32 form of its SHA-256, as Info.json and the team checks
// carry it.
class Ed25519PublicKey {
public:
    static constexpr int keySize = 32;
    static constexpr int signatureSize = 64;
    static constexpr int signerIdLength = 10;

    // The raw 32-byte key in base64; none for anything else.
    static std::optional<Ed25519PublicKey> fromBase64(const QString& text);

    bool verify(QByteArrayView message, QByteArrayView signature) const;
    QString signerId() const;
    const QByteArray& raw() const { return raw_; }

private:
    explicit Ed25519PublicKey(QByteArray raw)
        : raw_(std::move(raw)) {}

    QByteArray raw_;
};

} // namespace Blinkwit
