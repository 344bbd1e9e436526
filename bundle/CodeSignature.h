#pragma once

#include "Ed25519PublicKey.h"

#include <QList>
#include <QString>
#include <variant>

namespace Blinkwit {

// CodeSignature.json: every file of a bundle with its permission bits and SHA-256, signed as one
// text. Each entry of "files" is one line of that text, "MODE SHA256 PATH" (four octal digits,
// 64 lower-case hexadecimal digits, a path relative to the bundle); the signature in
// "signature" (base64) covers the lines, each followed by a line feed, in the order given.
class CodeSignature {
public:
    static constexpr qint64 maximumSize = 4 * 1024 * 1024;

    struct File {
        QString path;
        int mode = 0;
        QString sha256;
    };

    // The file list of a signature made with key; a description of the fault otherwise.
    static std::variant<CodeSignature, QString> read(const QString& path,
                                                     const Ed25519PublicKey& key);
    // One line of the signed text; none when it is not one.
    static std::optional<File> parseLine(const QString& line);

    const QList<File>& files() const { return files_; }

private:
    QList<File> files_;
};

} // namespace Blinkwit
