#include "ChromeLineFilter.h"

#include "TextPreprocessor.h"
#include "UnicodeText.h"

#include <unicode/locid.h>
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
    icu::UnicodeString kept;
    for (std::int32_t i = 0; i < line.length(); ++i) {
        if (!isFrameCharacter(line[i]))
            kept.append(line[i]);
    }
    return kept;
}

bool hasFrameCharacter(const icu::UnicodeString& line) {
    for (std::int32_t i = 0; i < line.length(); ++i) {
        if (isFrameCharacter(line[i]))
            return true;
    }
    return false;
}

icu::UnicodeString lowercased(const icu::UnicodeString& text) {
    icu::UnicodeString lower(text);
    bool ascii = true;
    for (std::int32_t i = 0; i < lower.length() && ascii; ++i)
        ascii = lower[i] < 0x80;
    if (!ascii)
        return lower.toLower(icu::Locale::getRoot());
    char16_t* chars = lower.getBuffer(lower.length());
    for (std::int32_t i = 0; i < lower.length(); ++i) {
        if (chars[i] >= u'A' && chars[i] <= u'Z')
            chars[i] = char16_t(chars[i] + (u'a' - u'A'));
    }
    lower.releaseBuffer(text.length());
    return lower;
}

bool containsKeyHint(const icu::UnicodeString& text) {
    static const char16_t* const hints[] = {u"ctrl+r to expand", u"ctrl+o to expand",
                                            u"ctrl-r to expand", u"esc to interrupt"};
    const icu::UnicodeString lower = lowercased(text);
    for (const char16_t* hint : hints) {
        if (lower.indexOf(hint) >= 0)
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

bool isTokenCounter(const icu::UnicodeString& t) {
    static const CompiledPattern pattern(uR"re(^[\d.,]+k?[ ]*tokens$)re");
    return (startsWithOneOf(t, u".,") || startsWithDigit(t)) && pattern.search(t);
}

bool isToolCall(const icu::UnicodeString& t) {
    static const CompiledPattern pattern(
        uR"re(^(Read|Write|Edit|MultiEdit|Update|Updated|Create|Created|Bash|Grep|Glob|LS|Task|Agent|Skill|WebFetch|WebSearch|TodoWrite|Search|Fetch|Call|List)\([^)]*\)[ ]*…?[ ]*$)re");
    return startsWithOneOf(t, u"RWEMUCBGLTASF") && t.indexOf(u'(') >= 0 && pattern.search(t);
}

bool isHorizontalRule(const icu::UnicodeString& t) {
    static const CompiledPattern pattern(uR"re(^[-=_*~]{3,}$)re");
    return startsWithOneOf(t, u"-=_*~") && pattern.search(t);
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
    return icu::UnicodeString(f, i);
}

std::optional<icu::UnicodeString> headingTitle(const icu::UnicodeString& q) {
    static const CompiledPattern pattern(uR"re(^[ ]*#{1,6}[ ]+(.*)$)re");
    const std::int32_t i = firstNonSpace(q);
    if (i == q.length() || q[i] != u'#')
        return std::nullopt;
    auto groups = pattern.firstMatchGroups(q);
    if (!groups || groups->size() < 2)
        return std::nullopt;
    return (*groups)[1];
}

std::optional<icu::UnicodeString> listItemText(const icu::UnicodeString& q) {
    static const CompiledPattern pattern(uR"re(^[ ]*(?:[-*+•◦▪]|\d{1,3}[.)])[ ]+(.*)$)re");
    const std::int32_t i = firstNonSpace(q);
    const bool candidate =
        i < q.length() && (std::u16string_view(u"-*+•◦▪").find(q[i]) != std::u16string_view::npos ||
                           startsWithDigit(q, i));
    if (!candidate)
        return std::nullopt;
    auto groups = pattern.firstMatchGroups(q);
    if (!groups || groups->size() < 2)
        return std::nullopt;
    return (*groups)[1];
}

bool isChrome(const icu::UnicodeString& t2) {
    return containsKeyHint(t2) || isTokenCounter(t2) || isToolCall(t2) || isHorizontalRule(t2);
}

} // namespace

icu::UnicodeString ChromeLineFilter::filter(const icu::UnicodeString& text) {
    output_.remove();
    output_.getBuffer(text.length() + 16);
    output_.releaseBuffer(0);
    firstLine_ = true;
    std::int32_t lineStart = 0;
    while (true) {
        const std::int32_t lineEnd = text.indexOf(u'\n', lineStart);
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

void ChromeLineFilter::filterQuotedLine(const icu::UnicodeString& q) {
    if (auto title = headingTitle(q)) {
        emit(u"");
        emit(title->append(TextPreprocessor::sentenceMark));
        emit(u"");
        return;
    }
    if (auto item = listItemText(q)) {
        emit(item->append(TextPreprocessor::sentenceMark));
        return;
    }
    emit(q);
}

} // namespace BlinkwitCore
