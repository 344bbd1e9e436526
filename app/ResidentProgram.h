#pragma once

namespace Blinkwit {

class InstanceChannel;

// `blinkwit` without arguments: the resident tray program, one per user session. A second
// start hands a reopen request to the running copy and exits.
class ResidentProgram {
public:
    ResidentProgram() = delete;

    // Exit status: 0 ended normally or handed over, 1 no display or the running copy did not
    // answer.
    static int run();

private:
    static int handOver(InstanceChannel& channel);
};

} // namespace Blinkwit
