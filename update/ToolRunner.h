#pragma once

#include <QString>
#include <QStringList>

namespace Blinkwit {

// Runs an external tool to its end, standard output and standard error in one stream.
class ToolRunner {
public:
    struct Result {
        // The exit status; -1 when the tool could not be started or crashed.
        int status = -1;
        // Everything the tool wrote, as UTF-8 (invalid bytes replaced); the start error's
        // description when it could not be started.
        QString output;
    };

    virtual ~ToolRunner() = default;
    virtual Result run(const QString& path, const QStringList& arguments) = 0;
};

} // namespace Blinkwit
