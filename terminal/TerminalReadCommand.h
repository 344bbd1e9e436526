#pragma once

#include <string_view>
#include <vector>

namespace Blinkwit {

// `blinkwit read --terminal [FILE|-]`: reads the text from FILE or standard input, then plays it
// in the controlling terminal, with the keys read from /dev/tty so that the text may come
// through a pipe.
class TerminalReadCommand {
public:
    TerminalReadCommand() = delete;

    // arguments: everything after "read", "--terminal" included. Returns the exit status.
    static int run(const std::vector<std::string_view>& arguments);
};

} // namespace Blinkwit
