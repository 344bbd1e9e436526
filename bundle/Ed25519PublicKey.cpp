#include "Ed25519PublicKey.h"

#include <QCryptographicHash>
#include <memory>
#include <openssl/evp.h>

namespace Blinkwit {

namespace {

struct PkeyDeleter {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

// RFC 4648 base32 of the leading bytes, as many characters as asked for.
QString base32Prefix(const QByteArray& bytes, int length) {
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";
    QString text;
    for (int i = 0; i < length; ++i) {
        const int bit = i * 5;
        const auto byteAt = [&bytes](int index) {
            return index < bytes.size() ? static_cast<unsigned char>(bytes[index]) : 0u;
        };
        const unsigned window = (byteAt(bit / 8) << 8) | byteAt(bit / 8 + 1);
        text += QLatin1Char(alphabet[(window >> (11 - bit % 8)) & 0x1F]);
    }
    return text;
}

} // namespace

std::optional<Ed25519PublicKey> Ed25519PublicKey::fromBase64(const QString& text) {
    const auto decoded =
        QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != keySize)
        return std::nullopt;
    return Ed25519PublicKey(*decoded);
}

bool Ed25519PublicKey::verify(QByteArrayView message, QByteArrayView signature) const {
    if (signature.size() != signatureSize)
        return false;
    const std::unique_ptr<EVP_PKEY, PkeyDeleter> key(EVP_PKEY_new_raw_public_key(
        EVP_PKEY_ED25519, nullptr, reinterpret_cast<const unsigned char*>(raw_.constData()),
        size_t(raw_.size())));
    const std::unique_ptr<EVP_MD_CTX, ContextDeleter> context(EVP_MD_CTX_new());
    if (!key || !context ||
        EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1)
        return false;
    return EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                            size_t(signature.size()),
                            reinterpret_cast<const unsigned char*>(message.data()),
                            size_t(message.size())) == 1;
}

QString Ed25519PublicKey::signerId() const {
    return base32Prefix(QCryptographicHash::hash(raw_, QCryptographicHash::Sha256), signerIdLength);
}

} // namespace Blinkwit
