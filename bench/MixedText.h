#pragma once

#include <cstddef>
#include <string>

// A deterministic mix of what readers paste: a terminal transcript with colour codes and
// console chrome, Markdown with headings, lists, links, inline and fenced code, and prose.
class MixedText {
public:
    MixedText() = delete;

    // At least size bytes of UTF-8, cut at a line end.
    static std::string generate(std::size_t size);
};
