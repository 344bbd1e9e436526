// Writes the benchmarks' mixed text of about SIZE bytes (default 4 MiB) to standard output, so
// that the whole program can be timed on the same input: write_mixed_text 4194304 > mixed4.txt
#include "MixedText.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const std::size_t size = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : std::size_t(4) << 20;
    const std::string text = MixedText::generate(size);
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
