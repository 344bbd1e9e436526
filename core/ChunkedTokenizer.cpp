#include "ChunkedTokenizer.h"

#include "UnicodeText.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

namespace BlinkwitCore {

namespace {

constexpr char escape = '\x1b';
constexpr char bell = '\x07';
constexpr std::string_view placeholderMarkUtf8 = "\xee\x80\x80";

// Start of the line after the blank line that follows the line feed at or after from, or npos.
std::size_t afterBlankLine(std::string_view text, std::size_t from) {
    for (std::size_t feed = text.find('\n', from); feed != std::string_view::npos;
         feed = text.find('\n', feed + 1)) {
        std::size_t i = feed + 1;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i < text.size() && text[i] == '\n')
            return i + 1;
    }
    return std::string_view::npos;
}

const char* lastByte(std::string_view text, char byte) {
    return static_cast<const char*>(memrchr(text.data(), byte, text.size()));
}

// Whether an operating-system command (ESC ] up to BEL or ESC) is still open at the end of
// text, given that none was open at its start.
bool commandOpen(std::string_view text) {
    const char* esc = lastByte(text, escape);
    const char* bel = lastByte(text, bell);
    if (esc == nullptr || (bel != nullptr && bel > esc))
        return false;
    return esc + 1 < text.data() + text.size() && esc[1] == ']';
}

// Whether the lines of text that start with a fence ("```" after spaces) are odd in number: a
// cut after them would most likely fall inside a fenced block, and its piece be read again.
bool fenceOpen(std::string_view text) {
    bool open = false;
    for (std::size_t at = text.find("```"); at != std::string_view::npos;) {
        std::size_t start = at;
        while (start > 0 && text[start - 1] == ' ')
            --start;
        if (start == 0 || text[start - 1] == '\n')
            open = !open;
        // One fence per line: the rest of the line cannot open or close another.
        const std::size_t lineEnd = text.find('\n', at);
        if (lineEnd == std::string_view::npos)
            break;
        at = text.find("```", lineEnd + 1);
    }
    return open;
}

// Whether the unit leaves nothing open that a following piece could close.
bool closesCleanly(const Pipeline::Piece& unit) {
    return !unit.fenceLeftOpen && unit.links.closed();
}

} // namespace

std::vector<std::size_t> ChunkedTokenizer::cuts(std::string_view utf8, std::size_t pieceBytes) {
    std::vector<std::size_t> starts;
    const std::size_t step = std::max<std::size_t>(pieceBytes, 1);
    std::size_t previous = 0;
    for (std::size_t from = step - 1;;) {
        const std::size_t at = afterBlankLine(utf8, from);
        if (at == std::string_view::npos || at >= utf8.size())
            return starts;
        from = at;
        const std::string_view piece = utf8.substr(previous, at - previous);
        if (commandOpen(piece) || fenceOpen(piece))
            continue;
        starts.push_back(at);
        previous = at;
        from = at + step - 1;
    }
}

TokenList ChunkedTokenizer::run(std::string_view utf8, const std::stop_token& stop) const {
    std::vector<std::size_t> starts{0};
    if (utf8.find(placeholderMarkUtf8) == std::string_view::npos) {
        const std::vector<std::size_t> more = cuts(utf8, plan_.pieceBytes);
        starts.insert(starts.end(), more.begin(), more.end());
    }
    if (starts.size() == 1)
        return stop.stop_requested() ? TokenList() : read(utf8).tokens;
    std::vector<Piece> pieces = readAll(utf8, starts, stop);
    if (stop.stop_requested())
        return {};
    std::vector<Piece> units = settle(utf8, starts, std::move(pieces), stop);
    if (stop.stop_requested())
        return {};
    return joined(std::move(units));
}

ChunkedTokenizer::Piece ChunkedTokenizer::read(std::string_view utf8) const {
    return Pipeline(options_).runPiece(UnicodeText::fromUtf8(utf8));
}

std::vector<ChunkedTokenizer::Piece>
ChunkedTokenizer::readAll(std::string_view utf8, const std::vector<std::size_t>& starts,
                          const std::stop_token& stop) const {
    const std::size_t count = starts.size();
    std::vector<Piece> pieces(count);
    std::atomic<std::size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto work = [&] {
        try {
            for (std::size_t i = next++; i < count && !stop.stop_requested(); i = next++) {
                const std::size_t end = i + 1 < count ? starts[i + 1] : utf8.size();
                pieces[i] = read(utf8.substr(starts[i], end - starts[i]));
            }
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure)
                failure = std::current_exception();
            next = count;
        }
    };
    const unsigned cores = plan_.threads ? plan_.threads : std::thread::hardware_concurrency();
    const std::size_t threads = std::clamp<std::size_t>(cores, 1, count);
    {
        std::vector<std::jthread> helpers;
        for (std::size_t t = 1; t < threads; ++t)
            helpers.emplace_back(work);
        work();
    }
    if (failure)
        std::rethrow_exception(failure);
    return pieces;
}

// Pieces become units: a piece that leaves mark-up open is read again together with the
// pieces up to the first one after which, judging by their own ends, all is closed. Their
// ends were read without what came before them, so the guess can fall short (a fence left
// open turns the following fences' roles around); after two such guesses the rest of the text
// is read as one unit.
std::vector<ChunkedTokenizer::Piece>
ChunkedTokenizer::settle(std::string_view utf8, const std::vector<std::size_t>& starts,
                         std::vector<Piece> pieces, const std::stop_token& stop) const {
    const std::size_t count = pieces.size();
    const auto startOf = [&](std::size_t i) { return i < count ? starts[i] : utf8.size(); };
    std::vector<Piece> units;
    for (std::size_t i = 0; i < count && !stop.stop_requested();) {
        Piece unit = std::move(pieces[i]);
        std::size_t last = i;
        for (int guesses = 0; last + 1 < count && !closesCleanly(unit); ++guesses) {
            std::size_t end = last + 1;
            Pipeline::OpenMarkup links = unit.links.after(pieces[end].links);
            while (guesses < 2 && end + 1 < count &&
                   (pieces[end].fenceLeftOpen || !links.closed())) {
                ++end;
                links = links.after(pieces[end].links);
            }
            if (guesses >= 2)
                end = count - 1;
            unit = read(utf8.substr(starts[i], startOf(end + 1) - starts[i]));
            last = end;
        }
        units.push_back(std::move(unit));
        i = last + 1;
    }
    return units;
}

// Sentence and paragraph numbers go on from the previous units; a unit's last paragraph is
// followed by a break when any later unit holds a paragraph, as it would in the whole text.
TokenList ChunkedTokenizer::joined(std::vector<Piece> units) {
    std::vector<bool> paragraphFollows(units.size(), false);
    for (std::size_t u = units.size(); u-- > 1;)
        paragraphFollows[u - 1] = paragraphFollows[u] || units[u].paragraphs > 0;
    std::size_t tokens = 0;
    std::size_t bytes = 0;
    for (const Piece& unit : units) {
        tokens += unit.tokens.size();
        bytes += unit.tokens.textBytes();
    }
    TokenList all;
    all.reserve(tokens, bytes);
    std::int64_t sentences = 0;
    std::int64_t paragraphs = 0;
    for (std::size_t u = 0; u < units.size(); ++u) {
        TokenList& list = units[u].tokens;
        if (list.empty())
            continue;
        const std::size_t last = list.size() - 1;
        if (paragraphFollows[u])
            list.setParagraphBreakAfter(last, true);
        const std::int64_t unitSentences = list.sentenceIndex(last) + 1;
        const std::int64_t unitParagraphs = list.paragraphIndex(last) + 1;
        all.append(std::move(list), sentences, paragraphs);
        sentences += unitSentences;
        paragraphs += unitParagraphs;
    }
    return all;
}

} // namespace BlinkwitCore
