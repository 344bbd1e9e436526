#include "TimingEngine.h"

#include "UnicodeText.h"

#include <algorithm>

namespace BlinkwitCore {

double TimingEngine::baseInterval(std::int64_t wpm) {
    return 60.0 / double(std::max<std::int64_t>(wpm, 1));
}

double TimingEngine::lengthFactor(std::int64_t n) {
    if (n <= 4)
        return 0.9;
    if (n <= 8)
        return 1.0;
    if (n <= 13)
        return 1.3;
    return std::min(double(n - 14) * 0.1 + 2.0, 4.0);
}

namespace {

struct TimedFacts {
    bool codeBlock = false;
    std::int64_t characters = 0;
    bool digits = false;
    bool endsSentence = false;
    bool endsClause = false;
    bool paragraphBreakAfter = false;
};

double durationOf(const TimedFacts& token, std::int64_t wpm) {
    const double b = TimingEngine::baseInterval(wpm);
    const double paragraphPause = token.paragraphBreakAfter ? 3.0 * b : 0.0;
    if (token.codeBlock)
        return TimingEngine::codeBlockDwell + paragraphPause;

    double factor = TimingEngine::lengthFactor(token.characters);
    if (token.digits)
        factor = std::max(factor, 1.5);
    double d = factor * b;
    if (token.endsSentence)
        d += b + b;
    else if (token.endsClause)
        d += 1.5 * b;
    return d + paragraphPause;
}

} // namespace

double TimingEngine::duration(const Token& token, std::int64_t wpm) {
    const bool block = token.isCodeBlock();
    return durationOf({.codeBlock = block,
                       .characters = block ? 0 : UnicodeText::graphemeCount(token.text),
                       .digits = token.containsDigits,
                       .endsSentence = token.endsSentence,
                       .endsClause = token.endsClause,
                       .paragraphBreakAfter = token.paragraphBreakAfter},
                      wpm);
}

double TimingEngine::duration(const TokenList& tokens, std::size_t i, std::int64_t wpm) {
    return durationOf({.codeBlock = tokens.kind(i) == TokenKind::Case::codeBlock,
                       .characters = tokens.characterCount(i),
                       .digits = tokens.containsDigits(i),
                       .endsSentence = tokens.endsSentence(i),
                       .endsClause = tokens.endsClause(i),
                       .paragraphBreakAfter = tokens.paragraphBreakAfter(i)},
                      wpm);
}

double TimingEngine::totalDuration(std::span<const Token> tokens, std::int64_t wpm) {
    double total = 0.0;
    for (const Token& token : tokens)
        total += duration(token, wpm);
    return total;
}

} // namespace BlinkwitCore
