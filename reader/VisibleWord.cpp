#include "VisibleWord.h"

#include "core/UnicodeText.h"

namespace Blinkwit {

BlinkwitCore::Token VisibleWord::of(const BlinkwitCore::Token& token) {
    const std::size_t cut = BlinkwitCore::UnicodeText::leadingCharacters(token.text, longest);
    BlinkwitCore::Token shown{.text = token.text.substr(0, cut),
                              .kind = token.kind,
                              .endsSentence = token.endsSentence,
                              .endsClause = token.endsClause,
                              .paragraphBreakAfter = token.paragraphBreakAfter,
                              .sentenceIndex = token.sentenceIndex,
                              .paragraphIndex = token.paragraphIndex,
                              .containsDigits = token.containsDigits};
    if (cut < token.text.size())
        shown.text += "\u2026";
    return shown;
}

} // namespace Blinkwit
