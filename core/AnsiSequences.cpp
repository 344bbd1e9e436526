#include "AnsiSequences.h"

#include "UnicodeText.h"

namespace BlinkwitCore {

namespace {

constexpr char16_t escape = 0x1B;
constexpr char16_t bell = 0x07;

bool inRange(char16_t c, char16_t low, char16_t high) {
    return c >= low && c <= high;
}

// [0-9;:?<=>]* is the whole range 0x30-0x3F; the final character is one of @ to ~.
std::int32_t afterParametersAndFinal(const char16_t* chars, std::int32_t i, std::int32_t n,
                                     bool intermediates) {
    while (i < n && inRange(chars[i], 0x30, 0x3F))
        ++i;
    // [ !"#$%&'()*+,\-./]* is the whole range 0x20-0x2F.
    while (intermediates && i < n && inRange(chars[i], 0x20, 0x2F))
        ++i;
    return i < n && inRange(chars[i], 0x40, 0x7E) ? i + 1 : -1;
}

} // namespace

std::int32_t AnsiSequences::operatingSystemCommandEnd(const char16_t* chars, std::int32_t i,
                                                      std::int32_t n) {
    if (i + 1 >= n || chars[i] != escape || chars[i + 1] != u']')
        return -1;
    i += 2;
    while (i < n && chars[i] != bell && chars[i] != escape)
        ++i;
    if (i == n)
        return -1;
    if (chars[i] == bell)
        return i + 1;
    return i + 1 < n && chars[i + 1] == u'\\' ? i + 2 : -1;
}

std::int32_t AnsiSequences::controlSequenceEnd(const char16_t* chars, std::int32_t i,
                                               std::int32_t n) {
    if (i + 1 >= n || chars[i] != escape || chars[i + 1] != u'[')
        return -1;
    return afterParametersAndFinal(chars, i + 2, n, true);
}

std::int32_t AnsiSequences::controlSequence8BitEnd(const char16_t* chars, std::int32_t i,
                                                   std::int32_t n) {
    if (i >= n || chars[i] != 0x9B)
        return -1;
    return afterParametersAndFinal(chars, i + 1, n, false);
}

std::int32_t AnsiSequences::twoCharacterEscapeEnd(const char16_t* chars, std::int32_t i,
                                                  std::int32_t n) {
    return i + 1 < n && chars[i] == escape && inRange(chars[i + 1], 0x40, 0x5F) ? i + 2 : -1;
}

icu::UnicodeString AnsiSequences::deleting(const icu::UnicodeString& text, char16_t introducer,
                                           EndFinder end) {
    const char16_t* chars = text.getBuffer();
    const std::int32_t n = text.length();
    icu::UnicodeString result;
    std::int32_t copiedUpTo = 0;
    for (std::int32_t at = UnicodeText::find(text, introducer); at >= 0;) {
        const std::int32_t matchEnd = end(chars, at, n);
        if (matchEnd < 0) {
            at = UnicodeText::find(text, introducer, at + 1);
            continue;
        }
        if (copiedUpTo == 0 && result.isEmpty())
            result = UnicodeText::withCapacity(n);
        result.append(chars, copiedUpTo, at - copiedUpTo);
        copiedUpTo = matchEnd;
        at = UnicodeText::find(text, introducer, matchEnd);
    }
    if (copiedUpTo == 0)
        return text;
    result.append(chars, copiedUpTo, n - copiedUpTo);
    return result;
}

} // namespace BlinkwitCore
