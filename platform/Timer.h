#pragma once

#include "Scheduler.h"

#include <functional>

namespace Blinkwit {

// A one-shot timer owned by an object: destroying or restarting it cancels what is pending, so
// deferred work never runs after its owner is gone.
class Timer {
public:
    explicit Timer(Scheduler& scheduler)
        : scheduler_(scheduler) {}
    ~Timer() { stop(); }
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void startAt(double deadline, std::function<void()> task);
    void startAfter(double seconds, std::function<void()> task);
    void stop();
    bool isActive() const { return active_; }
    // The deadline of the pending (or last) run.
    double deadline() const { return deadline_; }
    Scheduler& scheduler() const { return scheduler_; }

private:
    Scheduler& scheduler_;
    Scheduler::TimerId id_ = 0;
    bool active_ = false;
    double deadline_ = 0.0;
};

} // namespace Blinkwit
