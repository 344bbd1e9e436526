#pragma once

#include <QDateTime>
#include <QString>

namespace Blinkwit {

// A past moment relative to now in full words, the way desktop date formatters say it: the
// largest calendar unit that has passed at least once ("3 hours ago", "1 day ago", "2 weeks
// ago"). A moment in the future, after the clock was set back, counts as now.
class RelativeTime {
public:
    RelativeTime() = delete;

    static QString ago(const QDateTime& then, const QDateTime& now);
};

} // namespace Blinkwit
