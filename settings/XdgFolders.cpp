#include "XdgFolders.h"

#include <QDir>
#include <QFile>
#include <pwd.h>
#include <unistd.h>

namespace Blinkwit {

namespace {

QString homeFolder() {
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty() && QDir::isAbsolutePath(home))
        return home;
    // Started without HOME (by a service manager, say): the password database knows it.
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? QFile::decodeName(entry->pw_dir) : QString();
}

} // namespace

QString XdgFolders::configHome() {
    const QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!base.isEmpty() && QDir::isAbsolutePath(base))
        return QDir::cleanPath(base);
    const QString home = homeFolder();
    return home.isEmpty() ? QString() : QDir::cleanPath(home + QStringLiteral("/.config"));
}

} // namespace Blinkwit
