#pragma once

#include "TerminalKey.h"
#include "platform/Timer.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace Blinkwit {

// Turns the bytes read from a terminal in raw mode into keys and clicks (SGR mouse reports). A lone
// Escape byte and the start of an escape sequence look the same, so an Escape only counts as the
// key when nothing follows it within escapeTimeout; bytes that arrive later continue the sequence.
// Escape followed in the same read by anything else is Alt with that key, and does nothing. Text
// pasted between the bracketed-paste marks is dropped whole: no pasted character acts as a key.
class KeyDecoder {
public:
    // Long enough for a sequence split across packets on a slow remote link.
    static constexpr double escapeTimeout = 0.1;

    KeyDecoder(Scheduler& scheduler, std::function<void(TerminalKey)> onKey,
               std::function<void(TerminalClick)> onClick = {});

    void feed(std::string_view bytes);

private:
    struct Decoded {
        // Bytes taken; 0 when more are needed.
        std::size_t used = 0;
        std::optional<TerminalKey> key;
        std::optional<TerminalClick> click;
        bool pasteStarts = false;
    };

    Decoded decode(std::size_t at) const;
    Decoded decodeEscape(std::size_t at) const;
    Decoded decodeCsi(std::size_t at) const;
    Decoded decodeSs3(std::size_t at) const;
    // Drops pasted bytes up to the end mark; false while the mark has not come yet.
    bool skipPaste();
    void timeOut();

    std::function<void(TerminalKey)> onKey_;
    std::function<void(TerminalClick)> onClick_;
    Timer escapeTimer_;
    std::string pending_;
    // pending_ held a lone Escape when the latest bytes came.
    bool escapeAlone_ = false;
    bool pasting_ = false;
};

} // namespace Blinkwit
