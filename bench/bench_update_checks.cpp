// Throughput of the two checks an update image goes through: the SHA-256 of the downloaded file
// (read in 1 MiB pieces) and the Ed25519 signature over the bundle archive.
#include "bundle/Ed25519PublicKey.h"
#include "bundle/FileDigest.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <openssl/evp.h>

namespace {

QByteArray randomBytes(qint64 size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(1).fillRange(reinterpret_cast<quint32*>(bytes.data()), size / 4);
    return bytes;
}

void BM_FileDigest(benchmark::State& state) {
    const qint64 size = state.range(0) << 20;
    QTemporaryDir dir;
    QFile file(dir.filePath("image"));
    file.open(QIODevice::WriteOnly);
    file.write(randomBytes(size));
    file.close();
    for (auto _ : state)
        benchmark::DoNotOptimize(Blinkwit::FileDigest::sha256(file.fileName()));
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_FileDigest)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

void BM_SignatureCheck(benchmark::State& state) {
    const QByteArray message = randomBytes(state.range(0) << 20);
    EVP_PKEY* key = EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519");
    unsigned char raw[32];
    size_t rawLength = sizeof raw;
    EVP_PKEY_get_raw_public_key(key, raw, &rawLength);
    QByteArray signature(64, '\0');
    size_t signatureLength = 64;
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    EVP_DigestSignInit(context, nullptr, nullptr, nullptr, key);
    EVP_DigestSign(context, reinterpret_cast<unsigned char*>(signature.data()), &signatureLength,
                   reinterpret_cast<const unsigned char*>(message.constData()),
                   size_t(message.size()));
    EVP_MD_CTX_free(context);
    EVP_PKEY_free(key);
    const auto publicKey = Blinkwit::Ed25519PublicKey::fromBase64(
        QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(raw), 32).toBase64()));
    for (auto _ : state)
        if (!publicKey->verify(message, signature))
            state.SkipWithError("the signature does not hold");
    state.SetBytesProcessed(state.iterations() * message.size());
}
BENCHMARK(BM_SignatureCheck)->Arg(16)->Arg(64)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
