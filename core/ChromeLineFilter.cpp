#include "ChromeLineFilter.h"

#include "TextPreprocessor.h"
#include "UnicodeText.h"

#include <unicode/uchar.h>

namespace BlinkwitCore {

namespace {

bool isFrameCharacter(char16_t c) {
    return (c >= 0x2800 && c <= 0x28FF) || (c >= 0x2500 && c <= 0x259F) ||
           (c >= 0x23A0 && c <= 0x23BF) || c == 0x23FA;
}

bool isSpinnerGlyph(char16_t c) {
    return c == 0x2733 || c == 0x273B || c == 0x273D || c == 0x2722 || c == 0x2736 || c == 0x2726 ||
           c == 0x2217;
}

icu::UnicodeString withoutFrameCharacters(const icu::UnicodeString& line) {
    icu::UnicodeString kept = UnicodeText::withCapacity(line.length());
    const char16_t* chars = line.getBuffer();
    std::int32_t copiedUpTo = 0;
    for (std::int32_t i = 0; i < line.length(); ++i) {
        if (!isFrameCharacter(chars[i]))
            continue;
        kept.append(chars, copiedUpTo, i - copiedUpTo);
        copiedUpTo = i + 1;
    }
    kept.append(chars, copiedUpTo, line.length() - copiedUpTo);
    return kept;
}

bool hasFrameCharacter(const icu::UnicodeString& line) {
    const char16_t* chars = line.getBuffer();
    for (std::int32_t i = 0; i < line.length(); ++i) {
        if (chars[i] >= 0x23A0 && isFrameCharacter(chars[i]))
            return true;
    }
    return false;
}

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
}

bool containsIgnoringAsciiCase(const icu::UnicodeString& text, std::u16string_view needle) {
    const char16_t* chars = text.getBuffer();
    const std::int32_t last = text.length() - std::int32_t(needle.size());
    for (std::int32_t i = 0; i <= last; ++i) {
        std::size_t k = 0;
        while (k < needle.size() && asciiLower(chars[i + std::int32_t(k)]) == needle[k])
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

// Every hint has " to " in it; most lines do not.
bool containsWordTo(const icu::UnicodeString& text) {
    const char16_t* chars = text.getBuffer();
    for (std::int32_t i = 1; i + 2 < text.length(); ++i) {
        if ((chars[i] | 0x20) == u't' && (chars[i + 1] | 0x20) == u'o' && chars[i - 1] == u' ' &&
            chars[i + 2] == u' ')
            return true;
    }
    return false;
}

// Whether the lower-case form contains a key hint. Searching the text itself, with only ASCII
// letters folded, gives the same answer: the only other characters whose lower-case form holds
// ASCII are U+0130 (i + U+0307) and the Kelvin sign (k), and neither can form part of a hint.
bool containsKeyHint(const icu::UnicodeString& text) {
    if (!containsWordTo(text))
        return false;
    for (std::u16string_view hint :
         {u"ctrl+r to expand", u"ctrl+o to expand", u"ctrl-r to expand", u"esc to interrupt"}) {
        if (containsIgnoringAsciiCase(text, hint))
            return true;
    }
    return false;
}

bool startsWithOneOf(const icu::UnicodeString& text, std::u16string_view characters) {
    return !text.isEmpty() && characters.find(text[0]) != std::u16string_view::npos;
}

bool startsWithDigit(const icu::UnicodeString& text, std::int32_t at = 0) {
    return at < text.length() && u_isdigit(text.char32At(at));
}

std::int32_t firstNonSpace(const icu::UnicodeString& text) {
    std::int32_t i = 0;
    while (i < text.length() && text[i] == u' ')
        ++i;
    return i;
}

// "^[ ]*>[ ]?" removed: one level of block quote.
icu::UnicodeString withoutQuoteMarker(const icu::UnicodeString& f) {
    std::int32_t i = firstNonSpace(f);
    if (i == f.length() || f[i] != u'>')
        return f;
    ++i;
    if (i < f.length() && f[i] == u' ')
        ++i;
    return f.tempSubString(i);
}

std::optional<icu::UnicodeString> firstGroup(CompiledPattern::Matcher& matcher,
                                             const icu::UnicodeString& text) {
    auto groups = matcher.firstMatchGroups(text);
    if (!groups || groups->size() < 2)
        return std::nullopt;
    return (*groups)[1];
}

const CompiledPattern& tokenCounterPattern() {
    static const CompiledPattern pattern(uR"re(^[\d.,]+k?[ ]*tokens$)re");
    return pattern;
}

const CompiledPattern& toolCallPattern() {
    static const CompiledPattern pattern(
        uR"re(^(Read|Write|Edit|MultiEdit|Update|Updated|Create|Created|Bash|Grep|Glob|LS|Task|Agent|Skill|WebFetch|WebSearch|TodoWrite|Search|Fetch|Call|List)\([^)]*\)[ ]*…?[ ]*$)re");
    return pattern;
}

const CompiledPattern& rulePattern() {
    static const CompiledPattern pattern(uR"re(^[-=_*~]{3,}$)re");
    return pattern;
}

const CompiledPattern& headingPattern() {
    static const CompiledPattern pattern(uR"re(^[ ]*#{1,6}[ ]+(.*)$)re");
    return pattern;
}

const CompiledPattern& listItemPattern() {
    static const CompiledPattern pattern(uR"re(^[ ]*(?:[-*+•◦▪]|\d{1,3}[.)])[ ]+(.*)$)re");
    return pattern;
}

} // namespace

ChromeLineFilter::ChromeLineFilter()
    : tokenCounter_(tokenCounterPattern())
    , toolCall_(toolCallPattern())
    , rule_(rulePattern())
    , heading_(headingPattern())
    , listItem_(listItemPattern()) {}

icu::UnicodeString ChromeLineFilter::filter(const icu::UnicodeString& text) {
    output_ = UnicodeText::withCapacity(text.length() + 16);
    firstLine_ = true;
    std::int32_t lineStart = 0;
    while (true) {
        const std::int32_t lineEnd = UnicodeText::find(text, u'\n', lineStart);
        const std::int32_t end = lineEnd < 0 ? text.length() : lineEnd;
        filterLine(text.tempSubString(lineStart, end - lineStart));
        if (lineEnd < 0)
            break;
        lineStart = lineEnd + 1;
    }
    return output_;
}

void ChromeLineFilter::emit(const icu::UnicodeString& line) {
    if (!firstLine_)
        output_.append(u'\n');
    firstLine_ = false;
    output_.append(line);
}

void ChromeLineFilter::filterLine(const icu::UnicodeString& line) {
    const icu::UnicodeString t = UnicodeText::trimmedOfSpaces(line);
    if (t.isEmpty()) {
        emit(t);
        return;
    }
    if (isSpinnerGlyph(t[0]) && UnicodeText::graphemeLengthAt(t, 0) == 1)
        return;
    if (t[0] >= 0x2800 && t[0] <= 0x28FF)
        return;
    const icu::UnicodeString f = hasFrameCharacter(line) ? withoutFrameCharacters(line) : line;
    const icu::UnicodeString t2 = UnicodeText::trimmedOfSpaces(f);
    if (t2.isEmpty() || isChrome(t2))
        return;
    filterQuotedLine(withoutQuoteMarker(f));
}

// The patterns run only where their first character can stand.
bool ChromeLineFilter::isChrome(const icu::UnicodeString& t2) {
    if (containsKeyHint(t2))
        return true;
    if ((startsWithOneOf(t2, u".,") || startsWithDigit(t2)) && tokenCounter_.search(t2))
        return true;
    if (startsWithOneOf(t2, u"RWEMUCBGLTASF") && t2.indexOf(u'(') >= 0 && toolCall_.search(t2))
        return true;
    return startsWithOneOf(t2, u"-=_*~") && rule_.search(t2);
}

void ChromeLineFilter::filterQuotedLine(const icu::UnicodeString& q) {
    const std::int32_t first = firstNonSpace(q);
    const bool headingCandidate = first < q.length() && q[first] == u'#';
    if (auto title = headingCandidate ? firstGroup(heading_, q) : std::nullopt) {
        emit(u"");
        emit(title->append(TextPreprocessor::sentenceMark));
        emit(u"");
        return;
    }
    const bool listCandidate =
        first < q.length() &&
        (std::u16string_view(u"-*+•◦▪").find(q[first]) != std::u16string_view::npos ||
         startsWithDigit(q, first));
    if (auto item = listCandidate ? firstGroup(listItem_, q) : std::nullopt) {
        emit(item->append(TextPreprocessor::sentenceMark));
        return;
    }
    emit(q);
}

} // namespace BlinkwitCore
