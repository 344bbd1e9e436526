#pragma once

#include <QString>
#include <string_view>
#include <vector>

namespace Blinkwit {

class InstanceChannel;

// `blinkwit --command NAME`: asks the running resident program to run one of its commands, so
// that a desktop's own keyboard settings can start it. Needs no display.
class CommandRequest {
public:
    CommandRequest() = delete;

    // Exit status: 0 handed over, 1 no running copy or no answer, 2 usage.
    static int run(const std::vector<std::string_view>& args);
    static QString usage();

private:
    // Sends a known command's name and says on standard error what went wrong.
    static int send(InstanceChannel& channel, const QString& name);
};

} // namespace Blinkwit
