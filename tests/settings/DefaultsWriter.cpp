// A second process on a defaults file, for the tests of what several processes do at once:
//   defaults_writer FILE set PREFIX COUNT  writes keys "<PREFIX>0" ... "<PREFIX><COUNT - 1>", one
//                                          store write each
//   defaults_writer FILE history TEXT      adds TEXT to the reading history once standard input
//                                          ends (so that several can be started together)
//   defaults_writer FILE hold              holds the file's lock until standard input ends
// Exits 0 when everything it wrote reached the file.
#include "settings/HistoryStore.h"
#include "settings/JsonFileDefaultsStore.h"

#include <QLockFile>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void waitForEndOfInput() {
    while (std::fgetc(stdin) != EOF) {
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const std::string_view mode = argv[2];
    if (mode == "hold") {
        QLockFile lock(path + QStringLiteral(".lock"));
        if (!lock.tryLock())
            return 1;
        std::puts("locked");
        std::fflush(stdout);
        waitForEndOfInput();
        return 0;
    }
    Blinkwit::JsonFileDefaultsStore store(path);
    if (mode == "history" && argc == 4) {
        waitForEndOfInput();
        Blinkwit::HistoryStore(store).add(QString::fromLocal8Bit(argv[3]));
    } else if (mode == "set" && argc == 5) {
        const QString prefix = QString::fromLocal8Bit(argv[3]);
        for (int i = 0, count = std::atoi(argv[4]); i < count; ++i)
            store.setValue(prefix + QString::number(i), qint64(i));
    } else {
        return 2;
    }
    // Writes that met a held lock wait in memory; a program with an event loop retries them.
    return store.flush(30000) && store.unusableReason().isEmpty() ? 0 : 1;
}
