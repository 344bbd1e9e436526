#pragma once

#include <cstdint>
#include <unicode/unistr.h>

namespace BlinkwitCore {

// Terminal escape sequences, read by hand: each finder returns the end of the sequence that
// begins at i, or -1, exactly where the pattern in its comment would match. The patterns are
// simple enough that the greedy classes never need to give characters back, and a hand scan
// skips the cost of starting a regular-expression match at every escape character.
class AnsiSequences {
public:
    using EndFinder = std::int32_t (*)(const char16_t* chars, std::int32_t i, std::int32_t n);

    AnsiSequences() = delete;

    // \x{1B}\][^\x{07}\x{1B}]*(\x{07}|\x{1B}\\)
    static std::int32_t operatingSystemCommandEnd(const char16_t* chars, std::int32_t i,
                                                  std::int32_t n);
    // \x{1B}\[[0-9;:?<=>]*[ !\x{22}#$%&'()*+,\-./]*[@-~]
    static std::int32_t controlSequenceEnd(const char16_t* chars, std::int32_t i, std::int32_t n);
    // \x{9B}[0-9;:?<=>]*[@-~]
    static std::int32_t controlSequence8BitEnd(const char16_t* chars, std::int32_t i,
                                               std::int32_t n);
    // \x{1B}[@-_]
    static std::int32_t twoCharacterEscapeEnd(const char16_t* chars, std::int32_t i,
                                              std::int32_t n);

    // Every match deleted, scanning left to right from each introducer character.
    static icu::UnicodeString deleting(const icu::UnicodeString& text, char16_t introducer,
                                       EndFinder end);
};

} // namespace BlinkwitCore
