#include "KeyDecoder.h"

#include <algorithm>
#include <array>
#include <utility>

namespace Blinkwit {

namespace {

constexpr char escapeByte = '\x1b';
constexpr std::string_view pasteEnd = "\x1b[201~";
// Longer CSI sequences than this are not keys we know; they are dropped.
constexpr std::size_t longestCsi = 32;

std::optional<TerminalKey> arrow(char final, bool shift) {
    switch (final) {
    case 'A':
        return TerminalKey::up;
    case 'B':
        return TerminalKey::down;
    case 'C':
        return shift ? TerminalKey::shiftRight : TerminalKey::right;
    case 'D':
        return shift ? TerminalKey::shiftLeft : TerminalKey::left;
    case 'H':
        return TerminalKey::home;
    case 'F':
        return TerminalKey::end;
    default:
        return std::nullopt;
    }
}

// The leading number of "n" or "n;m", or -1.
int leadingNumber(std::string_view parameters) {
    int value = -1;
    for (char c : parameters) {
        if (c < '0' || c > '9')
            break;
        value = std::max(value, 0) * 10 + (c - '0');
        if (value > 9999)
            return -1;
    }
    return value;
}

// xterm encodes modifiers as "1;m" where m - 1 is a bit set with Shift as bit 0.
bool hasShiftModifier(std::string_view parameters) {
    const std::size_t separator = parameters.find(';');
    if (separator == std::string_view::npos)
        return false;
    const int modifier = leadingNumber(parameters.substr(separator + 1));
    return modifier >= 2 && modifier <= 255 && ((modifier - 1) & 1) != 0;
}

// "ESC [ n ~" keys: the editing keypad, in xterm's and rxvt's numbering.
std::optional<TerminalKey> tildeKey(std::string_view parameters) {
    switch (leadingNumber(parameters)) {
    case 1:
    case 7:
        return TerminalKey::home;
    case 4:
    case 8:
        return TerminalKey::end;
    case 5:
        return TerminalKey::pageUp;
    case 6:
        return TerminalKey::pageDown;
    default:
        return std::nullopt;
    }
}

std::optional<TerminalKey> plainKey(char byte) {
    switch (byte) {
    case '\r':
    case '\n':
        return TerminalKey::enter;
    case ' ':
        return TerminalKey::space;
    case 'q':
    case 'Q':
        return TerminalKey::quit;
    case '\x03':
        return TerminalKey::interrupt;
    case '\x0c':
        return TerminalKey::repaint;
    case '\x1a':
        return TerminalKey::suspend;
    default:
        return std::nullopt;
    }
}

// "button;column;row", one-based; button 0 is the left button without modifiers, motion or
// wheel bits.
std::optional<TerminalClick> click(std::string_view parameters, bool pressed) {
    std::array<int, 3> values{-1, -1, -1};
    std::size_t field = 0;
    for (char c : parameters) {
        if (c == ';' && field + 1 < values.size()) {
            ++field;
        } else if (c >= '0' && c <= '9' && values[field] < 100000) {
            values[field] = std::max(values[field], 0) * 10 + (c - '0');
        } else {
            return std::nullopt;
        }
    }
    if (field != 2 || values[0] != 0 || values[1] < 1 || values[2] < 1)
        return std::nullopt;
    return TerminalClick{pressed, values[1] - 1, values[2] - 1};
}

} // namespace

KeyDecoder::KeyDecoder(Scheduler& scheduler, std::function<void(TerminalKey)> onKey,
                       std::function<void(TerminalClick)> onClick)
    : onKey_(std::move(onKey))
    , onClick_(std::move(onClick))
    , escapeTimer_(scheduler) {}

void KeyDecoder::feed(std::string_view bytes) {
    escapeTimer_.stop();
    // A terminal sends Alt with a key in one write; an Escape left over from an earlier read is
    // the Escape key, however late its timeout came round.
    escapeAlone_ = pending_ == std::string(1, escapeByte);
    pending_.append(bytes);
    while (!pending_.empty()) {
        if (pasting_) {
            if (!skipPaste())
                return;
            continue;
        }
        const Decoded decoded = decode(0);
        if (decoded.used == 0) {
            escapeTimer_.startAfter(escapeTimeout, [this] { timeOut(); });
            return;
        }
        pending_.erase(0, decoded.used);
        escapeAlone_ = false;
        pasting_ = decoded.pasteStarts;
        if (decoded.key)
            onKey_(*decoded.key);
        if (decoded.click && onClick_)
            onClick_(*decoded.click);
    }
}

KeyDecoder::Decoded KeyDecoder::decode(std::size_t at) const {
    if (pending_[at] == escapeByte)
        return decodeEscape(at);
    return {.used = 1, .key = plainKey(pending_[at])};
}

KeyDecoder::Decoded KeyDecoder::decodeEscape(std::size_t at) const {
    if (pending_.size() < at + 2)
        return {};
    const char next = pending_[at + 1];
    if (next == '[')
        return decodeCsi(at);
    if (next == 'O')
        return decodeSs3(at);
    if (at == 0 && escapeAlone_)
        return {.used = 1, .key = TerminalKey::escape};
    if (next == escapeByte) {
        // Alt with a key that sends a sequence of its own (Alt+Up in rxvt): all of it, ignored.
        const Decoded inner = decodeEscape(at + 1);
        return {.used = inner.used == 0 ? 0 : inner.used + 1};
    }
    return {.used = 2}; // Alt with a plain key
}

KeyDecoder::Decoded KeyDecoder::decodeCsi(std::size_t at) const {
    for (std::size_t end = at + 2; end < pending_.size(); ++end) {
        const char c = pending_[end];
        if (c >= 0x40 && c <= 0x7E) {
            const std::string_view parameters =
                std::string_view(pending_).substr(at + 2, end - at - 2);
            Decoded decoded{.used = end - at + 1};
            if (parameters.starts_with('<') && (c == 'M' || c == 'm'))
                decoded.click = click(parameters.substr(1), c == 'M');
            else if (c == '~' && parameters == "200")
                decoded.pasteStarts = true;
            else if (c == '~')
                decoded.key = tildeKey(parameters);
            else if (c >= 'a' && c <= 'd' && parameters.empty()) // rxvt Shift+arrow
                decoded.key = arrow(char(c - 'a' + 'A'), true);
            else
                decoded.key = arrow(c, hasShiftModifier(parameters));
            return decoded;
        }
        if (end - at >= longestCsi)
            return {.used = end - at + 1};
    }
    return {};
}

KeyDecoder::Decoded KeyDecoder::decodeSs3(std::size_t at) const {
    if (pending_.size() < at + 3)
        return {};
    const char final = pending_[at + 2];
    return {.used = 3,
            .key = final == 'M' ? std::optional(TerminalKey::enter) : arrow(final, false)};
}

bool KeyDecoder::skipPaste() {
    const std::size_t end = pending_.find(pasteEnd);
    if (end != std::string::npos) {
        pending_.erase(0, end + pasteEnd.size());
        pasting_ = false;
        return true;
    }
    // Keep what may be the start of the end mark; a paste may be of any length.
    if (pending_.size() >= pasteEnd.size())
        pending_.erase(0, pending_.size() - (pasteEnd.size() - 1));
    return false;
}

void KeyDecoder::timeOut() {
    // Only a lone Escape is a key; an unfinished sequence is noise.
    const bool loneEscape = pending_ == std::string(1, escapeByte);
    pending_.clear();
    if (loneEscape)
        onKey_(TerminalKey::escape);
}

} // namespace Blinkwit
