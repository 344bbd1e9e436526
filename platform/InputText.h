#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace Blinkwit {

// The text a command reads: a file, or standard input for "-". Reading stops at a limit, so
// that an endless stream (yes, /dev/zero) ends with a message instead of exhausting memory.
class InputText {
public:
    // Far more than anyone reads word by word, and small enough that the engine's tokens for it
    // fit in the memory of an ordinary desktop.
    static constexpr std::size_t limit = std::size_t(128) << 20;

    InputText() = delete;

    // The bytes of path ("-": standard input), or nothing with a one-line message: "cannot read
    // 'notes.md': is a directory".
    static std::optional<std::string> read(const std::string& path, std::string& error,
                                           std::size_t limit = InputText::limit);
};

} // namespace Blinkwit
