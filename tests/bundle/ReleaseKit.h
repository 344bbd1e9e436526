#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// Makers of keys, signed bundles and update images for tests, and runners of the real release
// tools. Release tests use keys made here and thrown away.
namespace Blinkwit::Testing {

class TestSigner {
public:
    TestSigner();
    ~TestSigner();

    QByteArray sign(const QByteArray& message) const;
    QString publicKey() const;
    QString signerId() const;
    // The private key as scripts/package reads it.
    void writePem(const QString& path) const;

private:
    struct Key;
    std::unique_ptr<Key> key_;
};

struct TarMember {
    enum class Type { file, folder, link, hardLink, device };
    QString path;
    Type type = Type::file;
    QByteArray content;
    int mode = 0644;
    QString target;
};

QByteArray compressedTar(const QList<TarMember>& members);
// An update image of this archive signed by signer; the archive as given.
QByteArray updateImage(const QByteArray& archive, const TestSigner& signer);
void writeFile(const QString& path, const QByteArray& content);
// The file's bytes; empty when it can't be read.
QByteArray readFile(const QString& path);

struct ToolRun {
    int status = -1;
    QString output;
};
ToolRun runProgram(const QString& program, const QStringList& arguments);
// scripts/package with the test build's blinkwit; returns the run.
ToolRun package(const QString& version, const QString& key, const QString& outDirectory,
                const QString& url);

} // namespace Blinkwit::Testing
