// The defaults file on a full disk, and things at its path that are not a file to use. Needs
// root for the small disk, the device node and the unprivileged reader; skipped otherwise.
#include "settings/HistoryStore.h"
#include "settings/JsonFileDefaultsStore.h"
#include "tests/settings/DefaultsWriterProcess.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using Blinkwit::HistoryStore;
using Blinkwit::JsonFileDefaultsStore;

namespace {

QByteArray readRaw(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct stat statusOf(const QString& path) {
    struct stat status {};
    lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

} // namespace

TEST(DefaultsOnHostileFiles, AWriteThatDoesNotFitLeavesThePreviousFileAndIsToldOnce) {
    QTemporaryDir dir;
    const QByteArray mountPoint = QFile::encodeName(dir.path());
    if (mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root): " << std::strerror(errno);
    const auto unmount = qScopeGuard([&] { umount2(mountPoint.constData(), MNT_DETACH); });
    const QString path = dir.filePath(QStringLiteral("blinkwit/defaults.json"));
    QStringList told;
    JsonFileDefaultsStore store(path);
    store.setNoticeSink([&told](const QString& message) { told << message; });
    HistoryStore history(store);
    store.setValue(QStringLiteral("defaultWPM"), qint64(650));
    history.add(QStringLiteral("first"));
    const QByteArray before = readRaw(path);
    // Full but for one page: enough for the lock file, not for a new defaults file.
    QFile filler(dir.filePath(QStringLiteral("filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'f')) == 4096) {
    }
    filler.resize(filler.size() - 4096);
    store.setValue(QStringLiteral("fontSize"), 30.0);
    EXPECT_FALSE(store.lastWriteSucceeded());
    const QString large = QString(100000, QLatin1Char('w')) + QStringLiteral(" end");
    history.add(large);
    EXPECT_EQ(readRaw(path), before);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("blinkwit"))).entryList(QDir::Files),
              QStringList{QStringLiteral("defaults.json")});
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("No space left on device")))
        << told[0].toStdString();

    filler.remove();
    EXPECT_TRUE(store.flush(1000));
    JsonFileDefaultsStore reread(path);
    EXPECT_EQ(reread.value(QStringLiteral("defaultWPM")).toLongLong(), 650);
    EXPECT_EQ(reread.value(QStringLiteral("fontSize")).toDouble(), 30.0);
    const HistoryStore stored(reread);
    ASSERT_EQ(stored.entries().size(), 2);
    EXPECT_EQ(stored.wholeText(stored.entries().front()), large);
}

TEST(DefaultsOnHostileFiles, WhatIsNotARegularFileIsNeitherReadNorReplaced) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("blinkwit"));
    const QString path = folder + QStringLiteral("/defaults.json");
    const QString node = dir.filePath(QStringLiteral("node"));
    const bool root = geteuid() == 0;
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"FIFO", [&] { return mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }},
        {"link to /dev/zero", [&] { return QFile::link(QStringLiteral("/dev/zero"), path); }},
        {"device node",
         [&] {
             return root &&
                    mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
         }},
        {"link to a device node",
         [&] {
             return root &&
                    mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) ==
                        0 &&
                    QFile::link(node, path);
         }},
        {"file over the size limit",
         [&] {
             QFile file(path);
             return file.open(QIODevice::WriteOnly) &&
                    file.resize(JsonFileDefaultsStore::largestFileBytes + 1);
         }},
    };
    for (const auto& [name, make] : cases) {
        QDir(folder).removeRecursively();
        QFile::remove(node);
        QDir().mkpath(folder);
        if (!make()) {
            std::printf("skipped the %s case: it needs root\n", name);
            continue;
        }
        const struct stat before = statusOf(path);
        QProcess writer;
#ifndef __SANITIZE_ADDRESS__ // its shadow memory counts as data
        // Were the file read without limit, the writer could not take the machine's memory.
        writer.setChildProcessModifier([] {
            const rlimit memory{rlim_t(4) << 30, rlim_t(4) << 30};
            setrlimit(RLIMIT_DATA, &memory);
        });
#endif
        Blinkwit::Testing::startDefaultsWriter(writer, path,
                                               {QStringLiteral("set"), QStringLiteral("k"), "1"});
        ASSERT_TRUE(writer.waitForFinished(20000)) << name;
        EXPECT_EQ(writer.exitCode(), 1) << name;
        EXPECT_EQ(writer.readAllStandardError().count('\n'), 1) << name;
        const struct stat after = statusOf(path);
        EXPECT_EQ(after.st_ino, before.st_ino) << name;
        EXPECT_EQ(after.st_mode, before.st_mode) << name;
        if (QFile::exists(node)) {
            EXPECT_TRUE(S_ISCHR(statusOf(node).st_mode)) << name;
        }
    }
}

TEST(DefaultsOnHostileFiles, AFileTheUserCannotReadIsLeftAsItIsAndExplainedOnce) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (geteuid() != 0 || setpriv.isEmpty())
        GTEST_SKIP() << "needs root and setpriv to run the writer as another user";
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("blinkwit"));
    const QString path = folder + QStringLiteral("/defaults.json");
    QDir().mkpath(folder);
    for (const QString& open : {dir.path(), folder})
        QFile::setPermissions(open, QFile::Permissions(0x7777));
    {
        JsonFileDefaultsStore store(path);
        store.setValue(QStringLiteral("defaultWPM"), qint64(650));
    }
    const QByteArray before = readRaw(path);
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0), 0);
    QProcess writer;
    Blinkwit::Testing::startDefaultsWriter(
        writer, path, {QStringLiteral("set"), QStringLiteral("k"), "1"},
        {setpriv, "--reuid=65534", "--regid=65534", "--clear-groups"});
    ASSERT_TRUE(writer.waitForFinished(20000));
    EXPECT_EQ(writer.exitCode(), 1);
    const QString told = QString::fromLocal8Bit(writer.readAllStandardError());
    EXPECT_EQ(told.count(QLatin1Char('\n')), 1);
    EXPECT_TRUE(told.contains(QStringLiteral("Permission denied"))) << told.toStdString();
    EXPECT_EQ(readRaw(path), before);
    EXPECT_EQ(statusOf(path).st_mode & 07777, 0u);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("defaults.json")});
}
