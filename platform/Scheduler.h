#pragma once

#include <cstdint>
#include <functional>

namespace Blinkwit {

// One-shot, cancellable timers on the main thread. Time is in seconds on a monotonic clock
// whose origin is the scheduler's own; only differences mean anything.
class Scheduler {
public:
    using TimerId = std::uint64_t;

    virtual ~Scheduler() = default;

    virtual double now() const = 0;
    // Runs task once when now() reaches deadline (at the next turn if it already has).
    virtual TimerId scheduleAt(double deadline, std::function<void()> task) = 0;
    // Cancelling an unknown or already fired timer does nothing.
    virtual void cancel(TimerId id) = 0;

    TimerId scheduleAfter(double seconds, std::function<void()> task) {
        return scheduleAt(now() + seconds, std::move(task));
    }
};

} // namespace Blinkwit
