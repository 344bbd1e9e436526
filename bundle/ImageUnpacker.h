#pragma once

#include <QByteArrayView>
#include <QSet>
#include <QString>
#include <optional>

struct archive;
struct archive_entry;

namespace Blinkwit {

// Extracts the xz-compressed tar of an update image, refusing anything that could write outside
// the destination or fill the disk: absolute paths, "..", entries that pass through a link, links
// that point outside, hard links, devices and other special files, sparse files, duplicates, and
// more bytes or entries than the limits allow. Files land read-only (0555 when the archive marks
// them executable, 0444 otherwise), folders 0755 so that the whole tree can be removed again.
class ImageUnpacker {
public:
    struct Limits {
        qint64 bytes = 512LL * 1024 * 1024;
        int entries = 10000;
    };

    ImageUnpacker();
    explicit ImageUnpacker(Limits limits)
        : limits_(limits) {}

    // Unpacks into destination, which must be missing or empty. On failure everything written
    // is removed again and the reason is returned.
    std::optional<QString> unpack(QByteArrayView compressedTar, const QString& destination);

private:
    std::optional<QString> unpackAll(archive* reader);
    std::optional<QString> extract(archive* reader, archive_entry* entry, const QString& path);
    std::optional<QString> writeFile(archive* reader, archive_entry* entry, const QString& path);
    std::optional<QString> writeLink(archive_entry* entry, const QString& path);

    Limits limits_;
    QString root_;
    qint64 written_ = 0;
    int entries_ = 0;
    QSet<QString> seen_;
    QSet<QString> links_;
};

} // namespace Blinkwit
