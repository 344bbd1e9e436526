#include "ReleaseKit.h"

#include "bundle/Ed25519PublicKey.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <archive.h>
#include <archive_entry.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <stdexcept>

namespace Blinkwit::Testing {

struct TestSigner::Key {
    EVP_PKEY* pkey = EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519");
    ~Key() { EVP_PKEY_free(pkey); }
};

TestSigner::TestSigner()
    : key_(std::make_unique<Key>()) {}

TestSigner::~TestSigner() = default;

QByteArray TestSigner::sign(const QByteArray& message) const {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    QByteArray signature(64, '\0');
    size_t length = size_t(signature.size());
    EVP_DigestSignInit(context, nullptr, nullptr, nullptr, key_->pkey);
    EVP_DigestSign(context, reinterpret_cast<unsigned char*>(signature.data()), &length,
                   reinterpret_cast<const unsigned char*>(message.constData()),
                   size_t(message.size()));
    EVP_MD_CTX_free(context);
    return signature;
}

QString TestSigner::publicKey() const {
    QByteArray raw(32, '\0');
    size_t length = 32;
    EVP_PKEY_get_raw_public_key(key_->pkey, reinterpret_cast<unsigned char*>(raw.data()), &length);
    return QString::fromLatin1(raw.toBase64());
}

QString TestSigner::signerId() const {
    return Ed25519PublicKey::fromBase64(publicKey())->signerId();
}

void TestSigner::writePem(const QString& path) const {
    BIO* bio = BIO_new_file(QFile::encodeName(path).constData(), "w");
    PEM_write_bio_PrivateKey(bio, key_->pkey, nullptr, nullptr, 0, nullptr, nullptr);
    BIO_free(bio);
}

namespace {

la_ssize_t append(archive*, void* buffer, const void* data, size_t size) {
    static_cast<QByteArray*>(buffer)->append(static_cast<const char*>(data), qsizetype(size));
    return la_ssize_t(size);
}

QByteArray tar(const QList<TarMember>& members, bool xz) {
    QByteArray output;
    archive* writer = archive_write_new();
    archive_write_set_format_pax_restricted(writer);
    if (xz)
        archive_write_add_filter_xz(writer);
    archive_write_open(writer, &output, nullptr, append, nullptr);
    for (const TarMember& member : members) {
        archive_entry* entry = archive_entry_new();
        archive_entry_set_pathname(entry, member.path.toUtf8().constData());
        archive_entry_set_perm(entry, mode_t(member.mode));
        using Type = TarMember::Type;
        const auto type = member.type;
        archive_entry_set_filetype(entry, type == Type::folder   ? AE_IFDIR
                                          : type == Type::link   ? AE_IFLNK
                                          : type == Type::device ? AE_IFCHR
                                                                 : AE_IFREG);
        if (type == Type::link)
            archive_entry_set_symlink(entry, member.target.toUtf8().constData());
        if (type == Type::hardLink)
            archive_entry_set_hardlink(entry, member.target.toUtf8().constData());
        if (type == Type::file)
            archive_entry_set_size(entry, member.content.size());
        archive_write_header(writer, entry);
        if (type == Type::file)
            archive_write_data(writer, member.content.constData(), size_t(member.content.size()));
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
    return output;
}

} // namespace

QByteArray compressedTar(const QList<TarMember>& members) {
    return tar(members, true);
}

QByteArray updateImage(const QByteArray& archive, const TestSigner& signer) {
    const QByteArray signature =
        QStringLiteral(R"({"publicKey": "%1", "signature": "%2"})")
            .arg(signer.publicKey(), QString::fromLatin1(signer.sign(archive).toBase64()))
            .toUtf8();
    QByteArray image = tar({{"Blinkwit.tar.xz", TarMember::Type::file, archive},
                            {"Blinkwit.tar.xz.sig", TarMember::Type::file, signature}},
                           false);
    return image;
}

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        throw std::runtime_error("can't write " + path.toStdString());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ToolRun runProgram(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

ToolRun package(const QString& version, const QString& key, const QString& outDirectory,
                const QString& url) {
    return runProgram(QStringLiteral(BLINKWIT_SOURCE_DIR "/scripts/package"),
                      {"--fast", "--url", url, "--notes", "Notes for " + version, "--executable",
                       QStringLiteral(BLINKWIT_EXECUTABLE), version, key, outDirectory});
}

} // namespace Blinkwit::Testing
