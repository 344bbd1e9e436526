#pragma once

#include <QString>

namespace Blinkwit {

// The shell script that swaps a staged bundle in for the installed one once the running program
// has ended, keeping the old one in the freedesktop Trash, and starts the new copy.
class SwapScript {
public:
    SwapScript() = delete;

    // A single-quoted shell word that stands for exactly s: every ' becomes '\''.
    static QString quoted(const QString& s);
    // An extended regular expression that matches exactly s (for pkill -f and pgrep -f).
    static QString literalPattern(const QString& s);
    // The script for replacing target (the installed Blinkwit.app) with staged (a Blinkwit.app
    // whose parent folder is removed afterwards). running: the process asking for the swap,
    // ended with the others that run target's program; 0 for none.
    static QString text(const QString& target, const QString& staged, qint64 running);
};

} // namespace Blinkwit
