#include "StoredFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Blinkwit::StoredFile {

namespace {

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString kindOf(mode_t mode) {
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a FIFO");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device");
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket");
    return QStringLiteral("it is not a regular file");
}

Contents unusable(QString problem) {
    return {Contents::Status::unusable, {}, std::move(problem)};
}

// A writer holds a lock on its temporary file for as long as it writes, so that cleaners can
// tell its file from one left by a writer that was killed.
bool markAsLive(int descriptor) {
    return ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
}

bool writeAll(int descriptor, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.constData() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = ENOSPC;
            return false;
        }
        done += written;
    }
    return true;
}

// Reads until the end, or until more than limit bytes came (then the file grew meanwhile).
std::optional<QByteArray> readAll(int descriptor, qint64 limit, qint64 expected) {
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min(expected, limit) + 1));
    char buffer[1 << 16];
    while (bytes.size() <= limit) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
    errno = EFBIG;
    return std::nullopt;
}

// Where a replacement goes: path itself when it is missing or a regular file, or the regular file
// its symbolic links lead to. None, with the reason, for anything else.
std::optional<QByteArray> writeTarget(const QByteArray& path, QString& problem) {
    struct stat link {};
    if (::lstat(path.constData(), &link) != 0) {
        if (errno == ENOENT)
            return path;
        problem = errorText(errno);
        return std::nullopt;
    }
    if (S_ISREG(link.st_mode))
        return path;
    if (!S_ISLNK(link.st_mode)) {
        problem = kindOf(link.st_mode);
        return std::nullopt;
    }
    char* resolved = ::realpath(path.constData(), nullptr);
    if (!resolved) {
        problem = QStringLiteral("it is a symbolic link to a missing file");
        return std::nullopt;
    }
    const QByteArray target(resolved);
    std::free(resolved);
    struct stat status {};
    if (::stat(target.constData(), &status) == 0 && S_ISREG(status.st_mode))
        return target;
    problem = QStringLiteral("it is a symbolic link to something that is not a regular file");
    return std::nullopt;
}

void syncFolderOf(const QByteArray& path) {
    const int folder =
        ::open(QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath()).constData(),
               O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    ::fsync(folder);
    ::close(folder);
}

} // namespace

Contents read(const QString& path, qint64 limit) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0) {
        const int error = errno;
        struct stat link {};
        if (error == ENOENT && ::lstat(name.constData(), &link) == 0)
            return unusable(QStringLiteral("it is a symbolic link to a missing file"));
        if (error == ENOENT)
            return {};
        return unusable(errorText(error));
    }
    if (!S_ISREG(status.st_mode))
        return unusable(kindOf(status.st_mode));
    const QString tooLarge = QStringLiteral("it is larger than %1 MiB").arg(limit >> 20);
    if (status.st_size > limit)
        return unusable(tooLarge);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return errno == ENOENT ? Contents{} : unusable(errorText(errno));
    // Something else may have been put in its place since the check above.
    struct stat opened {};
    if (::fstat(descriptor, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(descriptor);
        return unusable(kindOf(opened.st_mode));
    }
    const std::optional<QByteArray> bytes = readAll(descriptor, limit, opened.st_size);
    const int error = errno;
    ::close(descriptor);
    if (!bytes)
        return unusable(error == EFBIG ? tooLarge : errorText(error));
    return {Contents::Status::read, *bytes, {}};
}

std::optional<QString> replace(const QString& path, const QByteArray& bytes) {
    QString problem;
    const std::optional<QByteArray> target = writeTarget(QFile::encodeName(path), problem);
    if (!target)
        return problem;
    mode_t mode = S_IRUSR | S_IWUSR;
    struct stat existing {};
    if (::stat(target->constData(), &existing) == 0)
        mode = existing.st_mode & 07777;
    QByteArray temporary = *target + ".XXXXXX";
    const int descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        return errorText(errno);
    markAsLive(descriptor);
    // Only a file written in full and on the disk may take the old one's place.
    if (::fchmod(descriptor, mode) != 0 || !writeAll(descriptor, bytes) ||
        ::fsync(descriptor) != 0 || ::rename(temporary.constData(), target->constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        ::close(descriptor);
        return errorText(error);
    }
    ::close(descriptor);
    syncFolderOf(*target);
    return std::nullopt;
}

void removeStaleTemporaries(const QString& path) {
    const QFileInfo info(path);
    static const QRegularExpression suffix(QStringLiteral("^\\.[A-Za-z0-9]{6}$"));
    const QDir folder = info.absoluteDir();
    const QStringList candidates =
        folder.entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : candidates)
        if (suffix.match(name.mid(info.fileName().size())).hasMatch())
            removeUnlessHeld(folder.filePath(name));
}

bool removeUnlessHeld(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(name.constData(), &link) != 0)
        return false;
    if (S_ISLNK(link.st_mode))
        return ::unlink(name.constData()) == 0;
    // Only regular files are opened: opening a device can have effects of its own.
    if (!S_ISREG(link.st_mode))
        return false;
    const int descriptor =
        ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    struct stat status {};
    const bool removable = ::fstat(descriptor, &status) == 0 && status.st_ino == link.st_ino &&
                           markAsLive(descriptor) && ::unlink(name.constData()) == 0;
    ::close(descriptor);
    return removable;
}

} // namespace Blinkwit::StoredFile
