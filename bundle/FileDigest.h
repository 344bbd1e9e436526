#pragma once

#include <QString>
#include <optional>

namespace Blinkwit {

// The lower-case hexadecimal SHA-256 of a file, read in 1 MiB pieces so that no file is ever held
// in memory whole.
class FileDigest {
public:
    static constexpr qint64 pieceSize = 1024 * 1024;

    // The 64-character digest, or none with a description of why the file could not be read.
    static std::optional<QString> sha256(const QString& path, QString* error = nullptr);
};

} // namespace Blinkwit
