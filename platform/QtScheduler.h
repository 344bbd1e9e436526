#pragma once

#include "Scheduler.h"

#include <QElapsedTimer>
#include <QObject>
#include <unordered_map>

class QTimer;

namespace Blinkwit {

// Scheduler on the Qt event loop. Precise timers: coarse ones may fire 5 % late, which drifts
// visibly at high reading rates.
class QtScheduler final : public QObject, public Scheduler {
    Q_OBJECT
public:
    explicit QtScheduler(QObject* parent = nullptr);
    ~QtScheduler() override;

    double now() const override;
    TimerId scheduleAt(double deadline, std::function<void()> task) override;
    void cancel(TimerId id) override;

private:
    QElapsedTimer clock_;
    TimerId nextId_ = 1;
    std::unordered_map<TimerId, QTimer*> timers_;
};

} // namespace Blinkwit
