#pragma once

#include "platform/Scheduler.h"

#include <map>
#include <utility>

namespace Blinkwit::Testing {

// Virtual time for tests: nothing runs until advance() moves the clock past a deadline, so
// timing rules are checked exactly and instantly.
class ManualScheduler final : public Scheduler {
public:
    double now() const override { return now_; }
    TimerId scheduleAt(double deadline, std::function<void()> task) override;
    void cancel(TimerId id) override;

    // Runs every task due up to now() + seconds, in deadline order, moving the clock to each.
    void advance(double seconds);
    // Runs tasks until none is pending or the limit is reached; returns how many ran.
    int runAll(int limit = 100000);
    std::size_t pendingCount() const { return tasks_.size(); }
    // Deadline of the earliest pending task, or a negative number when there is none.
    double nextDeadline() const;

private:
    bool runNextDueBy(double time);

    double now_ = 0.0;
    TimerId nextId_ = 1;
    // Keyed by (deadline, id) so equal deadlines run in the order they were scheduled.
    std::map<std::pair<double, TimerId>, std::function<void()>> tasks_;
};

} // namespace Blinkwit::Testing
