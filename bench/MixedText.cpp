#include "MixedText.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 24> vocabulary = {
    "the",      "reader",  "flashes", "each",     "word",    "at",     "a",       "steady",
    "rate",     "while",   "your",    "eyes",     "rest",    "on",     "one",     "point",
    "sentence", "clauses", "pause",   "slightly", "longer,", "commas", "numbers", "1984"};

class Writer {
public:
    explicit Writer(std::string& out)
        : out_(out) {}

    std::string_view word() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return vocabulary[(state_ >> 33) % vocabulary.size()];
    }

    void sentence(int words) {
        for (int i = 0; i < words; ++i) {
            out_ += i == 0 ? "" : " ";
            out_ += word();
        }
        out_ += ". ";
    }

    void prose() {
        for (int i = 0; i < 4; ++i)
            sentence(8 + i);
        out_ += "\n\n";
    }

    void transcript(int n) {
        out_ += "\x1b[1;32m\xe2\x9c\x93\x1b[0m Compiled src/app/main.cpp in 1.2s\n";
        out_ += "\x1b]8;;https://example.com/build\x07build log\x1b]8;;\x07 is ready\n";
        out_ += "\xe2\xa0\x8b Thinking\xe2\x80\xa6\n";
        out_ += "\xe2\x9c\xbb Compacting conversation\n";
        out_ += "\xe2\x95\xad\xe2\x94\x80\xe2\x94\x80\xe2\x94\x80\xe2\x95\xae\n";
        out_ += "\xe2\x94\x82 \x1b[33mwarning\x1b[0m: unused variable count \xe2\x94\x82\n";
        out_ += "\xe2\x95\xb0\xe2\x94\x80\xe2\x94\x80\xe2\x94\x80\xe2\x95\xaf\n";
        out_ += "Bash(ls -la " + std::to_string(n) + ")\n";
        out_ += "  12.3k tokens\n";
        out_ += "\xe2\x8f\xba Done. (ctrl+r to expand)\n";
        out_ += "\xe2\x8f\xba Tests passed in ./build/tests after " + std::to_string(n % 97) +
                " runs.\n\n";
    }

    void markdown(int n) {
        out_ += "## Section " + std::to_string(n) + "\n\n";
        sentence(9);
        out_ += "\n- first item with `inline code` and **bold** words\n";
        out_ += "- second item, see [the guide](https://example.com/guide) now\n";
        out_ += "1. numbered step with *emphasis* and _underscores_ in snake_case_name\n\n";
        out_ += "> Quoted text from https://www.example.org/docs?page=" + std::to_string(n) +
                " and a ![diagram](img/d.png).\n\n";
        out_ += "```python\ndef f(x):\n    return x * " + std::to_string(n) +
                "\n\nprint(f(2))\n```\n\n";
    }

private:
    std::string& out_;
    std::uint64_t state_ = 42;
};

} // namespace

std::string MixedText::generate(std::size_t size) {
    std::string out;
    out.reserve(size + 4096);
    Writer writer(out);
    for (int n = 0; out.size() < size; ++n) {
        writer.transcript(n);
        writer.markdown(n);
        writer.prose();
        writer.prose();
    }
    return out;
}
