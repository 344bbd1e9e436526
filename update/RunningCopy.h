#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace Blinkwit {

// What the installer needs to know about the program that is running.
struct RunningCopy {
    // Where the running bundle lies, as far as updating it goes.
    enum class Location { installed, diskImage, translocated };

    // The running program: it also runs the image and bundle checks.
    QString executable;
    // The installed Blinkwit.app an update replaces; none when running from a build folder.
    std::optional<QString> bundle;
    // The signer ID a new build must carry: the running bundle's own.
    QString signer;
    // Asked when the swap is about to start.
    std::function<Location()> location;
    // The process the swap ends (with any other that runs the bundle's program); 0 for none.
    qint64 process = 0;

    // The copy this process runs from (/proc/self/exe and the bundle around it).
    static RunningCopy current(std::function<Location()> location);
};

} // namespace Blinkwit
