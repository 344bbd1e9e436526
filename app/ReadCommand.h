#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Blinkwit {

// `blinkwit read [FILE|-|--clipboard]`: read a file, standard input or the clipboard in the
// reader panel. Exits 0 when the panel is closed.
class ReadCommand {
public:
    enum class Source { file, standardInput, clipboard };

    struct Arguments {
        Source source = Source::standardInput;
        std::string path = "-";
        // Named on the command line (standard input is also read when nothing is named).
        bool sourceNamed = false;
        // Asked for the terminal front end instead of the panel.
        bool terminal = false;
    };

    ReadCommand() = delete;

    static const char* usage();

    // Exit status: 0 read and closed, 1 no input or no display, 2 usage.
    static int run(const std::vector<std::string_view>& args);

    // The arguments, or a one-line message saying what is wrong with them.
    static std::optional<Arguments> parse(const std::vector<std::string_view>& args,
                                          std::string& error);
    // Whether the arguments ask for the terminal front end.
    static bool wantsTerminal(const std::vector<std::string_view>& args);

    // Whether a desktop session can be reached; otherwise why not.
    static bool displayAvailable(std::string& reason);
};

} // namespace Blinkwit
