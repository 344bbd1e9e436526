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
class KeyDecoder {
public:
    // Long enough for a sequence split across packets on a slow remote link.
    static constexpr double escapeTimeout = 0.1;

    KeyDecoder(Scheduler& scheduler, std::function<void(TerminalKey)> onKey,
               std::function<void(TerminalClick)> onClick = {});

    void feed(std::string_view bytes);

private:
    // Decodes from the front of pending_; returns how many bytes were used, 0 when more are
    // needed.
    std::size_t decodeOne();
    std::size_t decodeEscape();
    std::size_t decodeCsi();
    std::size_t decodeSs3();
    void emit(std::optional<TerminalKey> key);
    void emitClick(std::string_view parameters, bool pressed);
    void timeOut();

    std::function<void(TerminalKey)> onKey_;
    std::function<void(TerminalClick)> onClick_;
    Timer escapeTimer_;
    std::string pending_;
};

} // namespace Blinkwit
