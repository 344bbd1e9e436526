#pragma once

#include <QString>
#include <optional>

namespace Blinkwit {

// Where the running bundle lies. Only a temporary folder and a mounted volume count as not
// installed: a copy there goes away with the folder or the volume.
enum class InstallLocation { translocated, diskImage, inApplications, elsewhere };

class InstallLocationRules {
public:
    InstallLocationRules() = delete;

    // The rules in order: inside the temporary folder, on a mounted volume (/media, /run/media,
    // /mnt), in ~/Applications, /Applications or /opt; anything else, and no bundle at all (a
    // build tree), is elsewhere.
    static InstallLocation classify(const std::optional<QString>& bundlePath,
                                    const QString& temporaryFolder, const QString& home);
    // The running program's, with $TMPDIR (else /tmp) and the home folder.
    static InstallLocation current();
    static bool isInstalled(InstallLocation location);
    // ~/Applications/Blinkwit.app: where a move installs the program.
    static QString installedPath();
};

} // namespace Blinkwit
