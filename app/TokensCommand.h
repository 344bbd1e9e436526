#pragma once

#include "core/TextPreprocessor.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Blinkwit {

// `blinkwit tokens`: the text engine as a filter, one JSON object per token per line.
// Needs no display and starts no GUI.
class TokensCommand {
public:
    struct Arguments {
        BlinkwitCore::TextPreprocessor::Options options;
        std::int64_t wpm = 400;
        std::string path = "-";
    };

    TokensCommand() = delete;

    // Exit status: 0 done, 1 the input could not be read or the output written, 2 usage.
    static int run(const std::vector<std::string_view>& args);

    // The arguments, or a one-line message saying what is wrong with them.
    static std::optional<Arguments> parse(const std::vector<std::string_view>& args,
                                          std::string& error);
};

} // namespace Blinkwit
