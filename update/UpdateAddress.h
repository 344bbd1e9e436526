#pragma once

#include <QUrl>

namespace Blinkwit {

// Where the update flow may fetch from. The manifest's address is fixed when the program is
// built (BuildInfo); the environment variable BLINKWIT_MANIFEST_URL may name another one, for
// tests and for people who publish their own builds. The manifest and the image must be HTTPS,
// or plain HTTP to this machine; redirects go to HTTPS only.
class UpdateAddress {
public:
    static constexpr const char* environmentVariable = "BLINKWIT_MANIFEST_URL";

    UpdateAddress() = delete;

    // The environment's address when it names one, else the built-in one.
    static QUrl manifest(const QUrl& builtIn);
    static bool isAllowed(const QUrl& address);
};

} // namespace Blinkwit
