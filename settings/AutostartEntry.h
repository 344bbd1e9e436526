#pragma once

#include <QString>
#include <optional>

namespace Blinkwit {

// The desktop entry that starts Blinkwit when the user logs in: a file in the user's autostart
// folder, present or not. Desktops hide an entry marked Hidden=true (and GNOME one marked
// X-GNOME-Autostart-enabled=false), so such a file counts as absent.
class AutostartEntry {
public:
    static constexpr const char* fileName = "com.blinkwit.app.desktop";

    // filePath: where the entry lives; contents: the desktop entry written when it is enabled.
    AutostartEntry(QString filePath, QString contents);

    // $XDG_CONFIG_HOME/autostart/com.blinkwit.app.desktop; empty without a home folder.
    static QString standardPath();

    // Read from the file each time: the user or the desktop may change it meanwhile.
    bool isEnabled() const;
    // Writes the entry (atomically) or removes the file. Why it failed, for the user; nothing
    // on success.
    std::optional<QString> setEnabled(bool enabled);

    QString filePath() const { return filePath_; }

private:
    std::optional<QString> write();
    std::optional<QString> remove();

    QString filePath_;
    QString contents_;
};

} // namespace Blinkwit
