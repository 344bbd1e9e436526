// Writes keys "<prefix>0" ... "<prefix><count - 1>" to a defaults file, one store write each,
// so that two of these running at once exercise the store's cross-process locking.
#include "settings/JsonFileDefaultsStore.h"

#include <QString>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    Blinkwit::JsonFileDefaultsStore store(QString::fromLocal8Bit(argv[1]));
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    const int count = std::atoi(argv[3]);
    for (int i = 0; i < count; ++i) {
        store.setValue(prefix + QString::number(i), qint64(i));
        if (!store.lastWriteSucceeded())
            return 1;
    }
    return 0;
}
