#include "QtScheduler.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

namespace Blinkwit {

QtScheduler::QtScheduler(QObject* parent)
    : QObject(parent) {
    clock_.start();
}

QtScheduler::~QtScheduler() {
    for (auto& [id, timer] : timers_)
        delete timer;
}

double QtScheduler::now() const {
    return double(clock_.nsecsElapsed()) / 1e9;
}

Scheduler::TimerId QtScheduler::scheduleAt(double deadline, std::function<void()> task) {
    const TimerId id = nextId_++;
    auto* timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id, task = std::move(task)] {
        auto found = timers_.find(id);
        if (found == timers_.end())
            return;
        found->second->deleteLater();
        timers_.erase(found);
        task();
    });
    timers_.emplace(id, timer);
    // QTimer counts whole milliseconds; round up so a task never runs before its deadline.
    const double remaining = std::max(0.0, deadline - now());
    timer->start(int(std::min(std::ceil(remaining * 1000.0), 2147483647.0)));
    return id;
}

void QtScheduler::cancel(TimerId id) {
    auto found = timers_.find(id);
    if (found == timers_.end())
        return;
    found->second->stop();
    found->second->deleteLater();
    timers_.erase(found);
}

} // namespace Blinkwit
