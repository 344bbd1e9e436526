#pragma once

#include <QString>
#include <optional>

namespace Blinkwit {

class Bundle;

// Installs a copy of a bundle: the copy is made beside the destination first and swapped in
// only when complete, so a failure leaves both the running copy and an older installed one as
// they were. Only an older copy of the program is ever replaced. Then the desktop entry and the
// icon go under the data folder, so the desktop's application menu lists the program.
class BundleMover {
public:
    static constexpr const char* desktopEntryName = "com.blinkwit.app.desktop";
    static constexpr const char* iconName = "com.blinkwit.app";

    BundleMover() = delete;

    // Why it failed, for the user; nothing on success. A desktop entry that cannot be written
    // is reported on standard error and does not fail the install.
    static std::optional<QString> install(const Bundle& source, const QString& destination,
                                          const QString& dataHome);
    // $XDG_DATA_HOME, or ~/.local/share when it is unset or relative.
    static QString dataHome();
    static QString desktopEntry(const QString& executable);

private:
    static std::optional<QString> copyBeside(const Bundle& source, const QString& destination,
                                             const QString& staging);
    static std::optional<QString> swapIn(const QString& staging, const QString& destination);
    static std::optional<QString> installDesktopEntry(const QString& destination,
                                                      const QString& dataHome);
};

} // namespace Blinkwit
