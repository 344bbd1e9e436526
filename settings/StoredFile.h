#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Reading and replacing the files that hold the user's data, so that no failure can lose them:
// only regular files are read or replaced (never a FIFO, a device or what a symbolic link to one
// leads to), reads are size-limited, and a replacement is whole or not at all.
namespace Blinkwit::StoredFile {

struct Contents {
    enum class Status { read, missing, unusable };
    Status status = Status::missing;
    QByteArray bytes;
    // Why the file cannot be used: "Permission denied", "it is a FIFO" ...
    QString problem;
};

// The whole of a regular file of at most limit bytes, following symbolic links. Never opens
// anything that is not a regular file, so a FIFO cannot block and a device is never touched.
Contents read(const QString& path, qint64 limit);

// Replaces path (or the regular file its symbolic links lead to) with bytes: written in full to
// a temporary file beside it, flushed to the disk, then renamed over it. On any failure the
// previous file is left as it was and the reason is returned.
std::optional<QString> replace(const QString& path, const QByteArray& bytes);

// Removes the temporary files that writers which ended early left beside path
// ("<name>.XXXXXX"); a live writer's file is left alone.
void removeStaleTemporaries(const QString& path);

// Removes a file unless a live writer holds it. False when it stays.
bool removeUnlessHeld(const QString& path);

} // namespace Blinkwit::StoredFile
