#include "ImageUnpacker.h"

#include <QDir>
#include <QFile>
#include <archive.h>
#include <archive_entry.h>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace Blinkwit {

namespace {

constexpr int maximumPathLength = 1024;

struct ReaderDeleter {
    void operator()(archive* reader) const { archive_read_free(reader); }
};

QString describe(const QString& path, const QString& problem) {
    return path + QStringLiteral(": ") + problem;
}

// The entry's path without "./" prefixes or a trailing slash; none when it is absolute, climbs
// with "..", has empty or "." parts, or is unreasonably long.
std::optional<QString> relativePath(const char* raw) {
    if (!raw)
        return std::nullopt;
    QString path = QString::fromUtf8(raw);
    while (path.startsWith(QLatin1String("./")))
        path.remove(0, 2);
    if (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (path.isEmpty() || path == QLatin1String("."))
        return QString();
    if (path.startsWith(QLatin1Char('/')) || path.size() > maximumPathLength)
        return std::nullopt;
    const QStringList parts = path.split(QLatin1Char('/'));
    if (std::any_of(parts.begin(), parts.end(), [](const QString& part) {
            return part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..");
        }))
        return std::nullopt;
    return path;
}

// Whether a link at path with this target resolves, by its text alone, inside the root.
bool staysInside(const QString& path, const QString& target) {
    if (target.isEmpty() || target.startsWith(QLatin1Char('/')))
        return false;
    QStringList resolved = path.split(QLatin1Char('/'));
    resolved.removeLast();
    for (const QString& part : target.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("..")) {
            if (resolved.isEmpty())
                return false;
            resolved.removeLast();
        } else if (part != QLatin1String(".")) {
            resolved.append(part);
        }
    }
    return true;
}

std::optional<QString> prepareDestination(const QString& destination, bool* created) {
    QDir dir(destination);
    *created = !dir.exists();
    if (*created && !QDir().mkpath(destination))
        return QStringLiteral("%1 can't be created").arg(destination);
    if (!dir.isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        return QStringLiteral("%1 is not empty").arg(destination);
    return std::nullopt;
}

void removeContents(const QString& root, bool removeRoot) {
    QDir dir(root);
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
    if (removeRoot)
        dir.rmdir(root);
}

} // namespace

ImageUnpacker::ImageUnpacker()
    : limits_(Limits{}) {}

std::optional<QString> ImageUnpacker::unpack(QByteArrayView compressedTar,
                                             const QString& destination) {
    bool created = false;
    if (auto problem = prepareDestination(destination, &created))
        return problem;
    root_ = QFileInfo(destination).canonicalFilePath();
    written_ = 0;
    entries_ = 0;
    seen_.clear();
    links_.clear();

    const std::unique_ptr<archive, ReaderDeleter> reader(archive_read_new());
    archive_read_support_filter_xz(reader.get());
    archive_read_support_format_tar(reader.get());
    std::optional<QString> problem;
    if (archive_read_open_memory(reader.get(), compressedTar.data(),
                                 size_t(compressedTar.size())) != ARCHIVE_OK)
        problem = QStringLiteral("the bundle archive can't be read: %1")
                      .arg(QString::fromUtf8(archive_error_string(reader.get())));
    else
        problem = unpackAll(reader.get());
    if (problem)
        removeContents(root_, created);
    return problem;
}

std::optional<QString> ImageUnpacker::unpackAll(archive* reader) {
    archive_entry* entry = nullptr;
    for (int status; (status = archive_read_next_header(reader, &entry)) != ARCHIVE_EOF;) {
        if (status != ARCHIVE_OK)
            return QStringLiteral("the bundle archive is damaged: %1")
                .arg(QString::fromUtf8(archive_error_string(reader)));
        if (++entries_ > limits_.entries)
            return QStringLiteral("the bundle archive has more than %1 entries")
                .arg(limits_.entries);
        const std::optional<QString> path = relativePath(archive_entry_pathname(entry));
        if (!path)
            return describe(QString::fromUtf8(archive_entry_pathname(entry)),
                            QStringLiteral("the path leaves the destination"));
        if (path->isEmpty())
            continue;
        if (auto problem = extract(reader, entry, *path))
            return problem;
    }
    return std::nullopt;
}

std::optional<QString> ImageUnpacker::extract(archive* reader, archive_entry* entry,
                                              const QString& path) {
    for (qsizetype slash = path.indexOf(QLatin1Char('/')); slash > 0;
         slash = path.indexOf(QLatin1Char('/'), slash + 1))
        if (links_.contains(path.left(slash)))
            return describe(path, QStringLiteral("the path passes through a link"));
    if (seen_.contains(path))
        return describe(path, QStringLiteral("the archive holds it twice"));
    seen_.insert(path);
    if (archive_entry_hardlink(entry))
        return describe(path, QStringLiteral("hard links are not allowed"));
    const QString full = root_ + QLatin1Char('/') + path;
    if (!QDir().mkpath(QFileInfo(full).absolutePath()))
        return describe(path, QStringLiteral("its folder can't be created"));
    switch (archive_entry_filetype(entry)) {
    case AE_IFDIR:
        return QDir().mkpath(full) && ::chmod(QFile::encodeName(full).constData(), 0755) == 0
                   ? std::nullopt
                   : std::optional(describe(path, QStringLiteral("the folder can't be created")));
    case AE_IFREG:
        return writeFile(reader, entry, path);
    case AE_IFLNK:
        return writeLink(entry, path);
    default:
        return describe(path, QStringLiteral("devices and other special files are not allowed"));
    }
}

std::optional<QString> ImageUnpacker::writeFile(archive* reader, archive_entry* entry,
                                                const QString& path) {
    const QString tooLarge =
        QStringLiteral("the bundle archive unpacks to more than %1 MiB").arg(limits_.bytes >> 20);
    if (archive_entry_sparse_count(entry) > 0)
        return describe(path, QStringLiteral("sparse files are not allowed"));
    if (archive_entry_size(entry) > limits_.bytes - written_)
        return tooLarge;
    const QByteArray name = QFile::encodeName(root_ + QLatin1Char('/') + path);
    const int fd =
        ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return describe(path, QString::fromLocal8Bit(strerror(errno)));
    std::optional<QString> problem;
    const void* data = nullptr;
    size_t size = 0;
    la_int64_t offset = 0;
    qint64 fileBytes = 0;
    for (int status; !problem && (status = archive_read_data_block(reader, &data, &size,
                                                                   &offset)) != ARCHIVE_EOF;) {
        if (status != ARCHIVE_OK)
            problem = describe(path, QString::fromUtf8(archive_error_string(reader)));
        else if (offset != fileBytes || qint64(size) > limits_.bytes - written_)
            problem = offset != fileBytes ? describe(path, QStringLiteral("holes are not allowed"))
                                          : tooLarge;
        else if (::write(fd, data, size) != ssize_t(size))
            problem = describe(path, QString::fromLocal8Bit(strerror(errno)));
        fileBytes += qint64(size);
        written_ += qint64(size);
    }
    const bool executable = archive_entry_perm(entry) & 0111;
    if (!problem && ::fchmod(fd, executable ? 0555 : 0444) != 0)
        problem = describe(path, QString::fromLocal8Bit(strerror(errno)));
    ::close(fd);
    return problem;
}

std::optional<QString> ImageUnpacker::writeLink(archive_entry* entry, const QString& path) {
    const char* target = archive_entry_symlink(entry);
    if (!target || !staysInside(path, QString::fromUtf8(target)))
        return describe(path, QStringLiteral("the link points outside the destination"));
    links_.insert(path);
    if (::symlink(target, QFile::encodeName(root_ + QLatin1Char('/') + path).constData()) != 0)
        return describe(path, QString::fromLocal8Bit(strerror(errno)));
    return std::nullopt;
}

} // namespace Blinkwit
