#include "TokensCommand.h"

#include "CommandLine.h"
#include "TokenJsonLines.h"
#include "platform/InputText.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace Blinkwit {

namespace {

using BlinkwitCore::TextPreprocessor;

// 1 says the input could not be read; a full disk or a closed pipe on output is another matter.
constexpr int exitOutputError = 3;

std::optional<std::int64_t> integerValue(std::string_view text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// Splits "--name=value" into name and value; other arguments come back whole.
std::pair<std::string_view, std::optional<std::string_view>> splitOption(std::string_view arg) {
    const auto equals = arg.find('=');
    if (!arg.starts_with("--") || equals == std::string_view::npos)
        return {arg, std::nullopt};
    return {arg.substr(0, equals), arg.substr(equals + 1)};
}

int usageError(const std::string& message) {
    std::fprintf(stderr, "blinkwit: %s\n%s", message.c_str(), CommandLine::usage());
    return 2;
}

} // namespace

std::optional<TokensCommand::Arguments>
TokensCommand::parse(const std::vector<std::string_view>& args, std::string& error) {
    Arguments parsed;
    bool havePath = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool isOption = !optionsEnded && arg.size() > 1 && arg.starts_with('-');
        if (!isOption) {
            if (havePath) {
                error = "more than one input file: '" + std::string(arg) + "'";
                return std::nullopt;
            }
            parsed.path = std::string(arg);
            havePath = true;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        auto [name, value] = splitOption(arg);
        if (name != "--mode" && name != "--wpm") {
            error = "unknown option '" + std::string(arg) + "'";
            return std::nullopt;
        }
        if (!value) {
            if (i + 1 == args.size()) {
                error = "option " + std::string(name) + " needs a value";
                return std::nullopt;
            }
            value = args[++i];
        }
        if (name == "--mode") {
            const auto mode = TextPreprocessor::fromRaw(*value);
            if (!mode) {
                error = "unknown mode '" + std::string(*value) + "'";
                return std::nullopt;
            }
            parsed.options.codeBlockMode = *mode;
        } else {
            const auto wpm = integerValue(*value);
            if (!wpm) {
                error = "the rate must be an integer: '" + std::string(*value) + "'";
                return std::nullopt;
            }
            parsed.wpm = *wpm;
        }
    }
    return parsed;
}

int TokensCommand::run(const std::vector<std::string_view>& args) {
    for (std::string_view arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h") {
            std::fputs(CommandLine::usage(), stdout);
            return 0;
        }
    }
    std::string error;
    const auto arguments = parse(args, error);
    if (!arguments)
        return usageError(error);
    std::string reason;
    const auto input = InputText::read(arguments->path, reason);
    if (!input) {
        std::fprintf(stderr, "blinkwit: %s\n", reason.c_str());
        return 1;
    }
    const BlinkwitCore::TokenList tokens = TextPreprocessor::tokenList(*input, arguments->options);
    const bool written = TokenJsonLines::write(tokens, arguments->wpm, stdout);
    if (!written || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "blinkwit: cannot write the tokens: %s\n", std::strerror(errno));
        return exitOutputError;
    }
    return 0;
}

} // namespace Blinkwit
