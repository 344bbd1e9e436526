#pragma once

#include <QString>
#include <functional>

namespace Blinkwit {

// The link between copies of the program in one user session: the first copy to claim it is
// the resident and takes requests; later copies hand theirs to it.
class InstanceChannel {
public:
    enum class Claim { resident, anotherIsRunning, unavailable };

    struct Reply {
        enum class Status { done, notRunning, unavailable, failed };
        Status status = Status::done;
        // Why, for a status other than done.
        QString detail;
    };

    // Run while the requesting copy waits for the answer: long work should be queued.
    struct Handlers {
        std::function<void()> reopen;
        // False for a command name this copy does not know.
        std::function<bool(const QString& name)> runCommand;
    };

    virtual ~InstanceChannel() = default;

    // Becomes the resident unless another copy is; detail says why the channel is unavailable.
    virtual Claim claim(Handlers handlers, QString& detail) = 0;
    // Stops being the resident, so that a new copy can claim the channel.
    virtual void release() = 0;

    virtual Reply requestReopen() = 0;
    virtual Reply requestCommand(const QString& name) = 0;
};

} // namespace Blinkwit
