#pragma once

#include "Pipeline.h"
#include "TextPreprocessor.h"
#include "TokenList.h"

#include <cstddef>
#include <stop_token>
#include <string_view>
#include <vector>

namespace BlinkwitCore {

// Tokenises a long text in pieces on several threads, with the result of one pass over the
// whole text. A piece ends just after a blank line that no escape sequence spans, and is read
// on its own: every stage but three sees no further than a line, so it cannot tell. A fenced
// block, an image and a link can reach across blank lines; a piece that leaves one of them
// open is read again together with the pieces that follow, until the mark-up is closed. Texts
// that bring their own placeholder marks (U+E000) are read in one piece: a mark's number
// points into the one list of stashed tokens of the whole text.
class ChunkedTokenizer {
public:
    struct Plan {
        // Pieces are cut at the first blank line after this many bytes.
        std::size_t pieceBytes = std::size_t(256) << 10;
        // 0: one per core.
        unsigned threads = 0;
    };

    ChunkedTokenizer(TextPreprocessor::Options options, Plan plan)
        : options_(options)
        , plan_(plan) {}

    // An empty list once stop is requested: the caller no longer wants any.
    TokenList run(std::string_view utf8, const std::stop_token& stop = {}) const;

    // Where pieces begin after the first: just after a blank line (spaces and tabs only) that
    // no operating-system command (ESC ] ... BEL) spans and, as far as its lines tell, no fenced
    // block either, at least pieceBytes after the previous cut, never at the end.
    static std::vector<std::size_t> cuts(std::string_view utf8, std::size_t pieceBytes);

private:
    using Piece = Pipeline::Piece;

    Piece read(std::string_view utf8) const;
    std::vector<Piece> readAll(std::string_view utf8, const std::vector<std::size_t>& starts,
                               const std::stop_token& stop) const;
    std::vector<Piece> settle(std::string_view utf8, const std::vector<std::size_t>& starts,
                              std::vector<Piece> pieces, const std::stop_token& stop) const;
    static TokenList joined(std::vector<Piece> units);

    TextPreprocessor::Options options_;
    Plan plan_;
};

} // namespace BlinkwitCore
