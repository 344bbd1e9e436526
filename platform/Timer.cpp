#include "Timer.h"

namespace Blinkwit {

void Timer::startAt(double deadline, std::function<void()> task) {
    stop();
    deadline_ = deadline;
    active_ = true;
    id_ = scheduler_.scheduleAt(deadline, [this, task = std::move(task)] {
        active_ = false;
        task();
    });
}

void Timer::startAfter(double seconds, std::function<void()> task) {
    startAt(scheduler_.now() + seconds, std::move(task));
}

void Timer::stop() {
    if (!active_)
        return;
    scheduler_.cancel(id_);
    active_ = false;
}

} // namespace Blinkwit
