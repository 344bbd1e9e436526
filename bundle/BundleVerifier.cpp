#include "BundleVerifier.h"

#include "CodeSignature.h"
#include "FileDigest.h"

#include <QDir>
#include <QDirIterator>
#include <QHash>
#include <QSet>
#include <sys/stat.h>

namespace Blinkwit {

namespace {

using Verdict = BundleVerifier::Verdict;

Verdict invalid(const QString& problem) {
    return Verdict{false, problem, {}, 0};
}

QSet<QString> foldersHolding(const QList<CodeSignature::File>& files) {
    QSet<QString> folders;
    for (const CodeSignature::File& file : files)
        for (qsizetype slash = file.path.lastIndexOf(QLatin1Char('/')); slash > 0;
             slash = file.path.lastIndexOf(QLatin1Char('/'), slash - 1))
            folders.insert(file.path.left(slash));
    return folders;
}

// Everything on disk that the list does not account for.
std::optional<QString> extraEntry(const QString& root, const QList<CodeSignature::File>& files) {
    QSet<QString> listed{QStringLiteral("CodeSignature.json")};
    for (const CodeSignature::File& file : files)
        listed.insert(file.path);
    const QSet<QString> folders = foldersHolding(files);
    QDirIterator entries(root,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        const QString relative = path.mid(root.size() + 1);
        struct stat status {};
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
            return QStringLiteral("%1 can't be examined").arg(relative);
        if (S_ISLNK(status.st_mode))
            return QStringLiteral("%1 is a link the signature doesn't cover").arg(relative);
        if (S_ISDIR(status.st_mode) ? !folders.contains(relative)
                                    : !S_ISREG(status.st_mode) || !listed.contains(relative))
            return QStringLiteral("%1 isn't covered by the signature").arg(relative);
    }
    return std::nullopt;
}

std::optional<QString> changedFile(const QString& root, const CodeSignature::File& file) {
    const QString path = root + QLatin1Char('/') + file.path;
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return QStringLiteral("%1 is missing").arg(file.path);
    if (int(status.st_mode & 07777) != file.mode)
        return QStringLiteral("%1 has mode %2, signed as %3")
            .arg(file.path)
            .arg(status.st_mode & 07777, 4, 8, QLatin1Char('0'))
            .arg(file.mode, 4, 8, QLatin1Char('0'));
    QString error;
    const std::optional<QString> digest = FileDigest::sha256(path, &error);
    if (!digest)
        return error;
    if (*digest != file.sha256)
        return QStringLiteral("%1 was changed after signing").arg(file.path);
    return std::nullopt;
}

} // namespace

BundleVerifier::Verdict BundleVerifier::verify(const Bundle& bundle) {
    const std::optional<Ed25519PublicKey> key = bundle.publicKey();
    if (!key)
        return invalid(QStringLiteral("Info.json names no signing key"));
    if (bundle.infoString(QString::fromLatin1(Bundle::signerIdKey)) != key->signerId())
        return invalid(QStringLiteral("Info.json names another signer than its key"));
    const auto signature = CodeSignature::read(bundle.codeSignaturePath(), *key);
    if (const QString* problem = std::get_if<QString>(&signature))
        return invalid(*problem);
    const QList<CodeSignature::File>& files = std::get<CodeSignature>(signature).files();
    if (const auto extra = extraEntry(bundle.path(), files))
        return invalid(*extra);
    for (const CodeSignature::File& file : files)
        if (const auto changed = changedFile(bundle.path(), file))
            return invalid(*changed);
    return Verdict{true, {}, key->signerId(), int(files.size())};
}

} // namespace Blinkwit
