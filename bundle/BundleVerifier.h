#pragma once

#include "Bundle.h"

#include <QString>

namespace Blinkwit {

// Whether a bundle is exactly what its signer signed: Info.json names a key and that key's
// signer ID, CodeSignature.json is signed by the key, and the files on disk are the signed ones
// with their contents and permission bits, with nothing missing and nothing extra (no other file,
// folder, link or special file).
class BundleVerifier {
public:
    struct Verdict {
        bool valid = false;
        QString problem;
        QString signer;
        int fileCount = 0;
    };

    static Verdict verify(const Bundle& bundle);
};

} // namespace Blinkwit
