#include "TokensCommand.h"

#include "CommandLine.h"
#include "JsonText.h"
#include "core/ORP.h"
#include "core/TimingEngine.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace Blinkwit {

namespace {

using BlinkwitCore::TextPreprocessor;
using BlinkwitCore::Token;

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

std::optional<std::string> readAll(std::FILE* file, std::string& reason) {
    std::string content;
    char buffer[1 << 16];
    while (true) {
        const std::size_t count = std::fread(buffer, 1, sizeof buffer, file);
        content.append(buffer, count);
        if (count < sizeof buffer)
            break;
    }
    if (std::ferror(file)) {
        reason = std::strerror(errno);
        return std::nullopt;
    }
    return content;
}

std::optional<std::string> readInput(const std::string& path, std::string& reason) {
    if (path == "-")
        return readAll(stdin, reason);
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        reason = std::strerror(errno);
        return std::nullopt;
    }
    auto content = readAll(file, reason);
    std::fclose(file);
    return content;
}

void appendField(std::string& out, const char* name) {
    out += out.size() > 1 ? ",\"" : "\"";
    out += name;
    out += "\":";
}

void appendBool(std::string& out, const char* name, bool value) {
    appendField(out, name);
    out += value ? "true" : "false";
}

void appendNumber(std::string& out, const char* name, auto value) {
    appendField(out, name);
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendOptionalString(std::string& out, const char* name,
                          const std::optional<std::string>& value) {
    appendField(out, name);
    if (value)
        JsonText::appendQuoted(out, *value);
    else
        out += "null";
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

std::string TokensCommand::jsonLine(const Token& token, std::int64_t wpm) {
    std::string out = "{";
    appendField(out, "text");
    JsonText::appendQuoted(out, token.text);
    appendField(out, "kind");
    JsonText::appendQuoted(out, token.kind.name());
    const bool block = token.isCodeBlock();
    appendOptionalString(out, "language", block ? token.kind.language() : std::nullopt);
    if (block) {
        appendNumber(out, "lineCount", token.kind.lineCount());
    } else {
        appendField(out, "lineCount");
        out += "null";
    }
    appendOptionalString(out, "codeContent", block ? token.codeContent : std::nullopt);
    appendBool(out, "endsSentence", token.endsSentence);
    appendBool(out, "endsClause", token.endsClause);
    appendBool(out, "paragraphBreakAfter", token.paragraphBreakAfter);
    appendNumber(out, "sentenceIndex", token.sentenceIndex);
    appendNumber(out, "paragraphIndex", token.paragraphIndex);
    appendBool(out, "containsDigits", token.containsDigits);
    appendNumber(out, "orp", BlinkwitCore::ORP::index(token.text));
    appendNumber(out, "duration", BlinkwitCore::TimingEngine::duration(token, wpm));
    out += "}\n";
    return out;
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
    const auto input = readInput(arguments->path, reason);
    if (!input) {
        std::fprintf(stderr, "blinkwit: cannot read %s: %s\n", arguments->path.c_str(),
                     reason.c_str());
        return 1;
    }
    std::string output;
    for (const Token& token : TextPreprocessor::tokens(*input, arguments->options)) {
        output += jsonLine(token, arguments->wpm);
        if (output.size() >= (1 << 16)) {
            std::fwrite(output.data(), 1, output.size(), stdout);
            output.clear();
        }
    }
    std::fwrite(output.data(), 1, output.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "blinkwit: cannot write the tokens: %s\n", std::strerror(errno));
        return exitOutputError;
    }
    return 0;
}

} // namespace Blinkwit
