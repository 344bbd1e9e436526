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

double TimingEngine::duration(const Token& token, std::int64_t wpm) {
    const double b = baseInterval(wpm);
    const double paragraphPause = token.paragraphBreakAfter ? 3.0 * b : 0.0;
    if (token.isCodeBlock())
        return codeBlockDwell + paragraphPause;

    double factor = lengthFactor(UnicodeText::graphemeCount(token.text));
    if (token.containsDigits)
        factor = std::max(factor, 1.5);
    double d = factor * b;
    if (token.endsSentence)
        d += b + b;
    else if (token.endsClause)
        d += 1.5 * b;
    return d + paragraphPause;
}

double TimingEngine::totalDuration(std::span<const Token> tokens, std::int64_t wpm) {
    double total = 0.0;
    for (const Token& token : tokens)
        total += duration(token, wpm);
    return total;
}

} // namespace BlinkwitCore
