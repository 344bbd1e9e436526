#include "CommandLine.h"

int main(int argc, char** argv) {
    return Blinkwit::CommandLine::run(argc, argv);
}
