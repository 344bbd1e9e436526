#pragma once

namespace Blinkwit {

// The one executable's entry: subcommands that need no desktop, and the desktop program.
class CommandLine {
public:
    CommandLine() = delete;

    static int run(int argc, char** argv);
    static const char* usage();
};

} // namespace Blinkwit
