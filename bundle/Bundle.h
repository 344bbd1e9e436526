#pragma once

#include "Ed25519PublicKey.h"

#include <QString>
#include <optional>

namespace Blinkwit {

// An installed copy of the program: a self-contained folder (Blinkwit.app) holding
// bin/blinkwit, Info.json (the build's identity and the signer's public key), share/ and
// CodeSignature.json. A program started from a build tree lies in no bundle.
class Bundle {
public:
    static constexpr const char* identifierKey = "CFBundleIdentifier";
    static constexpr const char* versionKey = "CFBundleShortVersionString";
    static constexpr const char* buildKey = "CFBundleVersion";
    static constexpr const char* commitKey = "BlinkwitGitCommit";
    static constexpr const char* signerIdKey = "BlinkwitSignerID";
    static constexpr const char* publicKeyKey = "BlinkwitPublicKey";
    static constexpr const char* identifier = "com.blinkwit.app";

    explicit Bundle(QString path);

    // The bundle holding the running executable, if it lies in one.
    static std::optional<Bundle> running();
    // The bundle holding this executable: <bundle>/bin/blinkwit beside <bundle>/Info.json.
    static std::optional<Bundle> containing(const QString& executablePath);

    const QString& path() const { return path_; }
    QString executablePath() const;
    QString infoPath() const;
    QString codeSignaturePath() const;
    QString sharePath() const;

    // The string value of one Info.json entry; absent for a missing file or key, another type
    // or a file that is not a JSON object of sane size.
    std::optional<QString> infoString(const QString& key) const;
    // The key the bundle names as its signer's, when Info.json holds a well-formed one.
    std::optional<Ed25519PublicKey> publicKey() const;

private:
    QString path_;
};

} // namespace Blinkwit
