#pragma once

#include <QString>

namespace Blinkwit {

// The running build's identity, fixed when it was compiled.
class BuildInfo {
public:
    BuildInfo() = delete;

    static QString version();
    static QString buildNumber();
    static QString gitCommit();
};

} // namespace Blinkwit
