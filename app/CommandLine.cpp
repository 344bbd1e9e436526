#include "CommandLine.h"

#include "BuildInfo.h"
#include "CommandRequest.h"
#include "OcrCommand.h"
#include "ReadCommand.h"
#include "ResidentCommands.h"
#include "ResidentProgram.h"
#include "TokensCommand.h"
#include "bundle/BundleCommand.h"
#include "bundle/ImageCommand.h"
#include "terminal/TerminalReadCommand.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace Blinkwit {

const char* CommandLine::usage() {
    static const std::string text =
        "usage: blinkwit tokens [--mode placeholder|readWords|skip] [--wpm N] [FILE|-]\n"
        "       blinkwit read [FILE|-|--clipboard]\n"
        "       blinkwit read --terminal [FILE|-]\n"
        "       blinkwit ocr [IMAGE|-]\n"
        "       blinkwit bundle verify|describe DIR\n"
        "       blinkwit image assess FILE | image unpack FILE DIR\n"
        "       blinkwit\n"
        "       blinkwit --command " +
        ResidentCommands::names().toStdString() +
        "\n"
        "       blinkwit --help | --version\n";
    return text.c_str();
}

int CommandLine::run(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    if (args.empty())
        return ResidentProgram::run();
    const std::string_view command = args.front();
    if (command == "--help" || command == "-h") {
        std::fputs(usage(), stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("%s\n", BuildInfo::displayString().toUtf8().constData());
        return 0;
    }
    if (command == "--command")
        return CommandRequest::run({args.begin() + 1, args.end()});
    if (command == "tokens")
        return TokensCommand::run({args.begin() + 1, args.end()});
    if (command == "bundle")
        return BundleCommand::run({args.begin() + 1, args.end()});
    if (command == "image")
        return ImageCommand::run({args.begin() + 1, args.end()});
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
