#include "TextPreprocessor.h"

#include "AnsiSequences.h"
#include "ChromeLineFilter.h"
#include "ChunkedTokenizer.h"
#include "CompiledPattern.h"
#include "UnicodeText.h"

#include <climits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace BlinkwitCore {

namespace {

bool isStrippedControl(char16_t c) {
    return c <= 0x08 || c == 0x0B || c == 0x0C || (c >= 0x0E && c <= 0x1F) || c == 0x7F;
}

// The next character below U+0020, U+007F or U+009B at or after i, or n.
std::int32_t nextControl(const char16_t* chars, std::int32_t i, std::int32_t n) {
#if defined(__SSE2__)
    const __m128i belowSpace = _mm_set1_epi16(0x1F);
    const __m128i del = _mm_set1_epi16(0x7F);
    const __m128i csi = _mm_set1_epi16(static_cast<short>(0x9B));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + i));
        const __m128i control =
            _mm_or_si128(_mm_cmpeq_epi16(_mm_subs_epu16(block, belowSpace), zero),
                         _mm_or_si128(_mm_cmpeq_epi16(block, del), _mm_cmpeq_epi16(block, csi)));
        const int mask = _mm_movemask_epi8(control);
        if (mask != 0)
            return i + (__builtin_ctz(unsigned(mask)) >> 1);
    }
#endif
    for (; i < n; ++i) {
        if (chars[i] < 0x20 || chars[i] == 0x7F || chars[i] == 0x9B)
            return i;
    }
    return n;
}

std::int32_t nextStrippedControl(const char16_t* chars, std::int32_t i, std::int32_t n) {
    for (i = nextControl(chars, i, n); i < n && !isStrippedControl(chars[i]);
         i = nextControl(chars, i + 1, n)) {
    }
    return i;
}

// [\x{00}-\x{08}\x{0B}\x{0C}\x{0E}-\x{1F}\x{7F}] deleted: every control but tab, LF and CR.
icu::UnicodeString withoutStrippedControls(const icu::UnicodeString& text) {
    const char16_t* chars = text.getBuffer();
    const std::int32_t n = text.length();
    std::int32_t i = nextStrippedControl(chars, 0, n);
    // The escape sequences removed before often took the only ones (a bell ends a link).
    if (i == n)
        return text;
    icu::UnicodeString result = UnicodeText::withCapacity(n);
    std::int32_t copiedUpTo = 0;
    for (; i < n; i = nextStrippedControl(chars, i + 1, n)) {
        result.append(chars, copiedUpTo, i - copiedUpTo);
        copiedUpTo = i + 1;
    }
    result.append(chars, copiedUpTo, n - copiedUpTo);
    return result;
}

struct ControlCharacters {
    bool escape = false;
    bool csi8Bit = false;
    bool other = false;
};

ControlCharacters controlCharactersIn(const icu::UnicodeString& text) {
    ControlCharacters found;
    const char16_t* chars = text.getBuffer();
    const std::int32_t n = text.length();
    for (std::int32_t i = nextControl(chars, 0, n); i < n; i = nextControl(chars, i + 1, n)) {
        found.escape |= chars[i] == 0x1B;
        found.csi8Bit |= chars[i] == 0x9B;
        found.other |= isStrippedControl(chars[i]);
    }
    return found;
}

// Deletes every occurrence of a two-character string, left to right.
icu::UnicodeString deletingPairs(const icu::UnicodeString& text, char16_t c) {
    const char16_t pair[] = {c, c};
    if (UnicodeText::find(text, std::u16string_view(pair, 2)) < 0)
        return text;
    icu::UnicodeString result = UnicodeText::withCapacity(text.length());
    const char16_t* chars = text.getBuffer();
    const std::int32_t n = text.length();
    std::int32_t copiedUpTo = 0;
    for (std::int32_t i = 0; i + 1 < n; ++i) {
        if (chars[i] == c && chars[i + 1] == c) {
            result.append(chars, copiedUpTo, i - copiedUpTo);
            copiedUpTo = i + 2;
            ++i;
        }
    }
    result.append(chars, copiedUpTo, n - copiedUpTo);
    return result;
}

// The next CR, tab or character from U+00A0 on at or after i, or n.
std::int32_t nextToNormalize(const char16_t* chars, std::int32_t i, std::int32_t n) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi16(0x0D);
    const __m128i tab = _mm_set1_epi16(0x09);
    const __m128i belowA0 = _mm_set1_epi16(0x9F);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(chars + i));
        const __m128i low = _mm_cmpeq_epi16(_mm_subs_epu16(block, belowA0), zero);
        const __m128i special =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(block, cr), _mm_cmpeq_epi16(block, tab)),
                         _mm_andnot_si128(low, _mm_set1_epi16(-1)));
        const int mask = _mm_movemask_epi8(special);
        if (mask != 0)
            return i + (__builtin_ctz(unsigned(mask)) >> 1);
    }
#endif
    for (; i < n; ++i) {
        if (chars[i] == u'\r' || chars[i] == u'\t' || chars[i] >= 0xA0)
            return i;
    }
    return n;
}

} // namespace

std::string_view TextPreprocessor::rawValue(CodeBlockMode mode) {
    switch (mode) {
    case CodeBlockMode::placeholder:
        return "placeholder";
    case CodeBlockMode::readWords:
        return "readWords";
    case CodeBlockMode::skip:
        return "skip";
    }
    return "placeholder";
}

std::optional<TextPreprocessor::CodeBlockMode> TextPreprocessor::fromRaw(std::string_view raw) {
    for (CodeBlockMode mode : allCodeBlockModes) {
        if (rawValue(mode) == raw)
            return mode;
    }
    return std::nullopt;
}

std::vector<Token> TextPreprocessor::tokens(std::string_view from, const Options& options) {
    return tokenList(from, options).toVector();
}

TokenList TextPreprocessor::tokenList(std::string_view from, const Options& options,
                                      const std::stop_token& stop) {
    return ChunkedTokenizer(options, {}).run(from, stop);
}

icu::UnicodeString TextPreprocessor::stripANSI(icu::UnicodeString text) {
    // Each pass starts at a character that plain text rarely holds; skip the ones whose
    // trigger is absent. Deleting never creates a trigger character.
    const ControlCharacters found = controlCharactersIn(text);
    if (found.escape) {
        text = AnsiSequences::deleting(text, 0x1B, AnsiSequences::operatingSystemCommandEnd);
        text = AnsiSequences::deleting(text, 0x1B, AnsiSequences::controlSequenceEnd);
    }
    if (found.csi8Bit)
        text = AnsiSequences::deleting(text, 0x9B, AnsiSequences::controlSequence8BitEnd);
    if (found.escape)
        text = AnsiSequences::deleting(text, 0x1B, AnsiSequences::twoCharacterEscapeEnd);
    if (found.other)
        text = withoutStrippedControls(text);
    return text;
}

icu::UnicodeString TextPreprocessor::normalize(const icu::UnicodeString& text) {
    // The ten literal replacements in one pass: none produces what a later one replaces, and
    // CR LF is handled before a lone CR. Runs of other characters are copied whole.
    const char16_t* chars = text.getBuffer();
    const std::int32_t n = text.length();
    std::int64_t capacity = n + 1;
    for (std::int32_t i = UnicodeText::find(text, u'\t'); i >= 0;
         i = UnicodeText::find(text, u'\t', i + 1))
        capacity += 3;
    if (capacity > INT32_MAX)
        return text; // beyond what a string can hold
    icu::UnicodeString result = UnicodeText::withCapacity(std::int32_t(capacity));
    std::int32_t copiedUpTo = 0;
    for (std::int32_t i = nextToNormalize(chars, 0, n); i < n; i = nextToNormalize(chars, i, n)) {
        result.append(chars, copiedUpTo, i - copiedUpTo);
        const char16_t c = chars[i++];
        if (c == u'\r') {
            result.append(u'\n');
            if (i < n && chars[i] == u'\n')
                ++i;
        } else if (c == 0x201C || c == 0x201D) {
            result.append(u'"');
        } else if (c == 0x2018 || c == 0x2019) {
            result.append(u'\'');
        } else if (c == 0x00A0 || c == 0x2007 || c == 0x202F) {
            result.append(u' ');
        } else if (c == u'\t') {
            result.append(u"    ", 4);
        } else {
            result.append(c);
        }
        copiedUpTo = i;
    }
    result.append(chars, copiedUpTo, n - copiedUpTo);
    return result;
}

icu::UnicodeString TextPreprocessor::filterChromeLines(const icu::UnicodeString& text) {
    return ChromeLineFilter().filter(text);
}

icu::UnicodeString TextPreprocessor::stripEmphasis(icu::UnicodeString text) {
    static const CompiledPattern asteriskEmphasis(
        uR"re((?<=\s|^)\*([^*\n]+)\*(?=[\s.,;:!?)\]]|$))re", UREGEX_MULTILINE, u"*");
    static const CompiledPattern underscoreEmphasis(uR"re((?<![\w`])_([^_\s][^_\n]*)_(?![\w]))re");

    text = deletingPairs(text, u'*');
    text = deletingPairs(text, u'_');
    if (UnicodeText::find(text, u'*') >= 0)
        text = asteriskEmphasis.replaceAll(text, u"$1");
    if (UnicodeText::find(text, u'_') >= 0)
        text = underscoreEmphasis.replaceAll(text, u"$1");
    return text;
}

} // namespace BlinkwitCore
