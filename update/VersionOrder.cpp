#include "VersionOrder.h"

namespace Blinkwit {

namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype digitRunEnd(const QString& text, qsizetype from) {
    while (from < text.size() && isDigit(text[from]))
        ++from;
    return from;
}

// Compares two digit runs by value without converting them, so any length works.
int compareRuns(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == QLatin1Char('0'))
        a = a.sliced(1);
    while (b.size() > 1 && b.front() == QLatin1Char('0'))
        b = b.sliced(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

} // namespace

int VersionOrder::compare(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const qsizetype endA = digitRunEnd(a, i);
            const qsizetype endB = digitRunEnd(b, j);
            if (const int order = compareRuns(QStringView(a).sliced(i, endA - i),
                                              QStringView(b).sliced(j, endB - j)))
                return order;
            i = endA;
            j = endB;
        } else if (a[i] != b[j]) {
            return a[i] < b[j] ? -1 : 1;
        } else {
            ++i;
            ++j;
        }
    }
    return (i < a.size()) - (j < b.size());
}

} // namespace Blinkwit
