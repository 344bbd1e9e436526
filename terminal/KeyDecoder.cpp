#include "KeyDecoder.h"

#include <algorithm>
#include <array>
#include <utility>

namespace Blinkwit {

namespace {

constexpr char escapeByte = '\x1b';
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
    default:
        return std::nullopt;
    }
}

// xterm encodes modifiers as "1;m" where m - 1 is a bit set with Shift as bit 0.
bool hasShiftModifier(std::string_view parameters) {
    const std::size_t separator = parameters.find(';');
    if (separator == std::string_view::npos)
        return false;
    int modifier = 0;
    for (char c : parameters.substr(separator + 1)) {
        if (c < '0' || c > '9')
            break;
        modifier = modifier * 10 + (c - '0');
        if (modifier > 255)
            return false;
    }
    return modifier >= 2 && ((modifier - 1) & 1) != 0;
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
    case '\x1a':
        return TerminalKey::suspend;
    default:
        return std::nullopt;
    }
}

} // namespace

KeyDecoder::KeyDecoder(Scheduler& scheduler, std::function<void(TerminalKey)> onKey,
                       std::function<void(TerminalClick)> onClick)
    : onKey_(std::move(onKey))
    , onClick_(std::move(onClick))
    , escapeTimer_(scheduler) {}

void KeyDecoder::feed(std::string_view bytes) {
    escapeTimer_.stop();
    pending_.append(bytes);
    while (!pending_.empty()) {
        const std::size_t used = decodeOne();
        if (used == 0) {
            escapeTimer_.startAfter(escapeTimeout, [this] { timeOut(); });
            return;
        }
        pending_.erase(0, used);
    }
}

std::size_t KeyDecoder::decodeOne() {
    if (pending_.front() == escapeByte)
        return decodeEscape();
    emit(plainKey(pending_.front()));
    return 1;
}

std::size_t KeyDecoder::decodeEscape() {
    if (pending_.size() < 2)
        return 0;
    switch (pending_[1]) {
    case '[':
        return decodeCsi();
    case 'O':
        return decodeSs3();
    default:
        // Escape followed by anything else: the Escape key, then that byte on its own.
        emit(TerminalKey::escape);
        return 1;
    }
}

std::size_t KeyDecoder::decodeCsi() {
    for (std::size_t at = 2; at < pending_.size(); ++at) {
        const char c = pending_[at];
        if (c >= 0x40 && c <= 0x7E) {
            const std::string_view parameters = std::string_view(pending_).substr(2, at - 2);
            if (parameters.starts_with('<') && (c == 'M' || c == 'm'))
                emitClick(parameters.substr(1), c == 'M');
            else if (c >= 'a' && c <= 'd' && parameters.empty()) // rxvt Shift+arrow
                emit(arrow(char(c - 'a' + 'A'), true));
            else
                emit(arrow(c, hasShiftModifier(parameters)));
            return at + 1;
        }
        if (at >= longestCsi)
            return at + 1;
    }
    return 0;
}

std::size_t KeyDecoder::decodeSs3() {
    if (pending_.size() < 3)
        return 0;
    emit(pending_[2] == 'M' ? std::optional(TerminalKey::enter) : arrow(pending_[2], false));
    return 3;
}

void KeyDecoder::emit(std::optional<TerminalKey> key) {
    if (key)
        onKey_(*key);
}

// "button;column;row", one-based; button 0 is the left button without modifiers, motion or
// wheel bits.
void KeyDecoder::emitClick(std::string_view parameters, bool pressed) {
    std::array<int, 3> values{-1, -1, -1};
    std::size_t field = 0;
    for (char c : parameters) {
        if (c == ';' && field + 1 < values.size()) {
            ++field;
        } else if (c >= '0' && c <= '9' && values[field] < 100000) {
            values[field] = std::max(values[field], 0) * 10 + (c - '0');
        } else {
            return;
        }
    }
    if (field != 2 || values[0] != 0 || values[1] < 1 || values[2] < 1 || !onClick_)
        return;
    onClick_(TerminalClick{pressed, values[1] - 1, values[2] - 1});
}

void KeyDecoder::timeOut() {
    // Only a lone Escape is a key; an unfinished sequence is noise.
    const bool loneEscape = pending_ == std::string(1, escapeByte);
    pending_.clear();
    if (loneEscape)
        emit(TerminalKey::escape);
}

} // namespace Blinkwit
