#pragma once

#include "UpdateError.h"

#include <QString>
#include <optional>
#include <variant>

namespace Blinkwit {

// Turns a downloaded update image into the running version: checks and stages it, then swaps it
// in for the installed copy.
class Installer {
public:
    virtual ~Installer() = default;

    // The staged Blinkwit.app, or why the image was refused. The installed copy is never touched.
    virtual std::variant<QString, UpdateError> verifyAndStage(const QString& image) = 0;
    // Starts the swap, which ends this program; the description of what failed otherwise.
    virtual std::optional<QString> swapAndRelaunch(const QString& staged) = 0;
};

} // namespace Blinkwit
