#include "SentenceWindow.h"

#include "core/UnicodeText.h"

namespace Blinkwit {

namespace {

constexpr std::string_view ellipsis = "\u2026";

std::size_t lengthOf(const BlinkwitCore::TokenList& tokens, std::size_t i) {
    return std::size_t(tokens.characterCount(i));
}

} // namespace

std::string SentenceWindow::around(const BlinkwitCore::TokenList& tokens, std::size_t first,
                                   std::size_t end, std::size_t index) {
    std::size_t start = index;
    for (std::size_t used = 0; start > first && used + lengthOf(tokens, start - 1) + 1 <= before;
         --start)
        used += lengthOf(tokens, start - 1) + 1;
    std::string shown;
    if (start > first)
        shown.append(ellipsis).append(" ");
    for (std::size_t i = start; i < index; ++i)
        shown.append(tokens.text(i)).append(" ");

    const std::string_view word = tokens.text(index);
    if (lengthOf(tokens, index) > after) {
        const std::size_t cut = BlinkwitCore::UnicodeText::leadingCharacters(word, after);
        return shown.append(word.substr(0, cut)).append(ellipsis);
    }
    shown.append(word);
    std::size_t used = lengthOf(tokens, index);
    std::size_t next = index + 1;
    for (; next < end && used + 1 + lengthOf(tokens, next) <= after; ++next) {
        shown.append(" ").append(tokens.text(next));
        used += 1 + lengthOf(tokens, next);
    }
    if (next < end)
        shown.append(" ").append(ellipsis);
    return shown;
}

} // namespace Blinkwit
