#pragma once

#include <QString>

namespace Blinkwit {

// The user's base folders, as the XDG base-directory rules find them.
class XdgFolders {
public:
    XdgFolders() = delete;

    // $XDG_CONFIG_HOME, or ~/.config when it is unset or relative (the rules say to ignore
    // relative values); with HOME unset, the password database's home folder. Empty when no
    // home folder is known.
    static QString configHome();
};

} // namespace Blinkwit
