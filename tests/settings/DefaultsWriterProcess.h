#pragma once

#include <QProcess>
#include <QStringList>

namespace Blinkwit::Testing {

// Starts the defaults_writer helper: `defaults_writer PATH ARGUMENTS...`, run through the
// command named by prefix when there is one (setpriv, say).
inline void startDefaultsWriter(QProcess& process, const QString& path,
                                const QStringList& arguments, QStringList prefix = {}) {
    prefix << QStringLiteral(BLINKWIT_DEFAULTS_WRITER) << path << arguments;
    process.start(prefix.takeFirst(), prefix);
}

} // namespace Blinkwit::Testing
