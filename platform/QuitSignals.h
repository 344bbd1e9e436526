#pragma once

#include <QObject>

class QSocketNotifier;

namespace Blinkwit {

// Turns SIGTERM, SIGINT and SIGHUP into a normal quit of the event loop: the handler only
// writes to a pipe, and the loop quits at its next turn, never in the middle of a write.
class QuitSignals final : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

private:
    static void handle(int signal);

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace Blinkwit
