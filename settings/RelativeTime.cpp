#include "RelativeTime.h"

namespace Blinkwit {

namespace {

QString count(qint64 number, const char* unit) {
    return QString::number(number) + QLatin1Char(' ') + QLatin1String(unit) +
           (number == 1 ? QString() : QStringLiteral("s")) + QStringLiteral(" ago");
}

// Whole calendar months from then to now.
qint64 monthsBetween(const QDateTime& then, const QDateTime& now) {
    qint64 months = qint64(now.date().year() - then.date().year()) * 12 + now.date().month() -
                    then.date().month();
    if (months > 0 && then.addMonths(int(months)) > now)
        --months;
    return months;
}

} // namespace

QString RelativeTime::ago(const QDateTime& then, const QDateTime& now) {
    if (then >= now)
        return count(0, "second");
    const qint64 months = monthsBetween(then, now);
    if (months >= 12)
        return count(months / 12, "year");
    if (months > 0)
        return count(months, "month");
    const qint64 seconds = then.secsTo(now);
    constexpr qint64 minute = 60, hour = 60 * minute, day = 24 * hour, week = 7 * day;
    if (seconds >= week)
        return count(seconds / week, "week");
    if (seconds >= day)
        return count(seconds / day, "day");
    if (seconds >= hour)
        return count(seconds / hour, "hour");
    if (seconds >= minute)
        return count(seconds / minute, "minute");
    return count(seconds, "second");
}

} // namespace Blinkwit
