#include "CommandLine.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int status = Blinkwit::CommandLine::run(argc, argv);
    // Nothing of ours needs static destruction, and skipping it avoids a race in Qt 6.4: its
    // D-Bus thread may still deliver a late reply while Qt's type registry is torn down, which
    // warns about "invalid types" on standard error.
    std::fflush(nullptr);
    std::_Exit(status);
}
