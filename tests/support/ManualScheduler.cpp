#include "ManualScheduler.h"

#include <algorithm>

namespace Blinkwit::Testing {

Scheduler::TimerId ManualScheduler::scheduleAt(double deadline, std::function<void()> task) {
    const TimerId id = nextId_++;
    tasks_.emplace(std::make_pair(std::max(deadline, now_), id), std::move(task));
    return id;
}

void ManualScheduler::cancel(TimerId id) {
    std::erase_if(tasks_, [id](const auto& entry) { return entry.first.second == id; });
}

bool ManualScheduler::runNextDueBy(double time) {
    if (tasks_.empty() || tasks_.begin()->first.first > time)
        return false;
    auto first = tasks_.begin();
    now_ = first->first.first;
    auto task = std::move(first->second);
    tasks_.erase(first);
    task();
    return true;
}

void ManualScheduler::advance(double seconds) {
    const double target = now_ + seconds;
    while (runNextDueBy(target)) {
    }
    now_ = target;
}

int ManualScheduler::runAll(int limit) {
    int ran = 0;
    while (ran < limit && !tasks_.empty()) {
        runNextDueBy(tasks_.begin()->first.first);
        ++ran;
    }
    return ran;
}

double ManualScheduler::nextDeadline() const {
    return tasks_.empty() ? -1.0 : tasks_.begin()->first.first;
}

} // namespace Blinkwit::Testing
