#include "CommandLine.h"

#include "BuildInfo.h"
#include "OcrCommand.h"
#include "ReadCommand.h"
#include "TokensCommand.h"
#include "terminal/TerminalReadCommand.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace Blinkwit {

const char* CommandLine::usage() {
    return "usage: blinkwit tokens [--mode placeholder|readWords|skip] [--wpm N] [FILE|-]\n"
           "       blinkwit read [FILE|-|--clipboard]\n"
           "       blinkwit read --terminal [FILE|-]\n"
           "       blinkwit ocr [IMAGE|-]\n"
           "       blinkwit --help | --version\n";
}

int CommandLine::run(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty()) {
        std::fputs(usage(), stderr);
        return 2;
    }
    const std::string_view command = args.front();
    if (command == "--help" || command == "-h") {
        std::fputs(usage(), stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("blinkwit %s (build %s, %s)\n", BuildInfo::version().toUtf8().constData(),
                    BuildInfo::buildNumber().toUtf8().constData(),
                    BuildInfo::gitCommit().toUtf8().constData());
        return 0;
    }
    if (command == "tokens")
        return TokensCommand::run({args.begin() + 1, args.end()});
    if (command == "read" && ReadCommand::wantsTerminal({args.begin() + 1, args.end()}))
        return TerminalReadCommand::run({args.begin() + 1, args.end()});
    if (command == "read")
        return ReadCommand::run({args.begin() + 1, args.end()});
    if (command == "ocr")
        return OcrCommand::run({args.begin() + 1, args.end()});
    std::fprintf(stderr, "blinkwit: unknown command '%s'\n%s", std::string(command).c_str(),
                 usage());
    return 2;
}

} // namespace Blinkwit
