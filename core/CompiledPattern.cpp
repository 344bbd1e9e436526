#include "CompiledPattern.h"

#include "UnicodeText.h"

namespace BlinkwitCore {

namespace {

// The backtracking stack may grow this far before a match gives up: generous enough for any
// pattern of the engine on multi-megabyte texts, small enough to stop runaway input.
constexpr std::int32_t stackLimitBytes = 256 * 1024 * 1024;

// A replacement template: "$n" stands for group n (absent groups are empty), a backslash
// takes the next character literally.
void appendExpanded(icu::RegexMatcher& matcher, const icu::UnicodeString& replacement,
                    icu::UnicodeString& out, UErrorCode& status) {
    const std::int32_t length = replacement.length();
    for (std::int32_t i = 0; i < length && U_SUCCESS(status); ++i) {
        const char16_t c = replacement[i];
        if (c == u'\\' && i + 1 < length) {
            out.append(replacement[++i]);
        } else if (c == u'$' && i + 1 < length && replacement[i + 1] >= u'0' &&
                   replacement[i + 1] <= u'9') {
            const std::int32_t group = replacement[++i] - u'0';
            if (group <= matcher.groupCount() && matcher.start(group, status) >= 0)
                out.append(matcher.group(group, status));
        } else {
            out.append(c);
        }
    }
}

} // namespace

CompiledPattern::CompiledPattern(const icu::UnicodeString& source, std::uint32_t flags,
                                 std::u16string_view startCharacters)
    : CompiledPattern(source, flags) {
    startCharacters_ = startCharacters;
}

CompiledPattern::CompiledPattern(const icu::UnicodeString& source, std::uint32_t flags,
                                 CandidateFinder candidates)
    : CompiledPattern(source, flags) {
    candidates_ = candidates;
}

std::int32_t CompiledPattern::nextCandidate(const icu::UnicodeString& text,
                                            std::int32_t from) const {
    if (candidates_ != nullptr)
        return candidates_(text, from);
    const char16_t* chars = text.getBuffer();
    const std::int32_t length = text.length();
    if (startCharacters_.size() == 1) {
        const std::int32_t found = UnicodeText::find(text, startCharacters_[0], from);
        return found < 0 ? length : found;
    }
    while (from < length && startCharacters_.find(chars[from]) == std::u16string::npos)
        ++from;
    return from;
}

CompiledPattern::CompiledPattern(const icu::UnicodeString& source, std::uint32_t flags) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    pattern_.reset(icu::RegexPattern::compile(source, flags, parseError, status));
    if (U_FAILURE(status))
        pattern_.reset();
}

CompiledPattern::Matcher::Matcher(const CompiledPattern& pattern)
    : pattern_(pattern) {
    if (!pattern.pattern_)
        return;
    UErrorCode status = U_ZERO_ERROR;
    matcher_.reset(pattern.pattern_->matcher(status));
    if (U_FAILURE(status) || !matcher_) {
        matcher_.reset();
        return;
    }
    matcher_->setStackLimit(stackLimitBytes, status);
    // Matches tried inside a region still see the text around it, as a whole-text search does.
    matcher_->useTransparentBounds(true);
    matcher_->useAnchoringBounds(false);
    if (U_FAILURE(status))
        matcher_.reset();
}

bool CompiledPattern::Matcher::reset(const icu::UnicodeString& text) {
    if (!matcher_)
        return false;
    matcher_->reset(text);
    return true;
}

// The next match at or after from, as a left-to-right search finds it; from moves past it.
bool CompiledPattern::Matcher::nextMatch(const icu::UnicodeString& text, std::int32_t& from,
                                         UErrorCode& status) {
    if (pattern_.startCharacters_.empty() && pattern_.candidates_ == nullptr) {
        if (!matcher_->find(status) || U_FAILURE(status))
            return false;
        from = matcher_->end(status);
        return true;
    }
    const std::int32_t length = text.length();
    for (std::int32_t at = pattern_.nextCandidate(text, from); at < length;
         at = pattern_.nextCandidate(text, at + 1)) {
        matcher_->region(at, length, status);
        if (matcher_->lookingAt(status) && U_SUCCESS(status)) {
            const std::int32_t end = matcher_->end(status);
            from = end > at ? end : at + 1;
            return true;
        }
        if (U_FAILURE(status))
            return false;
    }
    from = length;
    return false;
}

CompiledPattern::Groups CompiledPattern::Matcher::groups(UErrorCode& status) {
    Groups groups;
    const std::int32_t count = matcher_->groupCount();
    groups.reserve(std::size_t(count) + 1);
    for (std::int32_t i = 0; i <= count && U_SUCCESS(status); ++i) {
        if (matcher_->start(i, status) < 0)
            groups.emplace_back(std::nullopt);
        else
            groups.emplace_back(matcher_->group(i, status));
    }
    return groups;
}

bool CompiledPattern::Matcher::search(const icu::UnicodeString& text) {
    if (!reset(text))
        return false;
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t from = 0;
    return nextMatch(text, from, status) && U_SUCCESS(status);
}

std::optional<CompiledPattern::Groups>
CompiledPattern::Matcher::firstMatchGroups(const icu::UnicodeString& text) {
    if (!reset(text))
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t from = 0;
    if (!nextMatch(text, from, status) || U_FAILURE(status))
        return std::nullopt;
    Groups found = groups(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return found;
}

icu::UnicodeString CompiledPattern::Matcher::replaceAll(const icu::UnicodeString& text,
                                                        const icu::UnicodeString& replacement) {
    if (!reset(text))
        return text;
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString result = UnicodeText::withCapacity(text.length());
    std::int32_t copiedUpTo = 0;
    std::int32_t from = 0;
    bool matched = false;
    while (nextMatch(text, from, status)) {
        matched = true;
        const std::int32_t start = matcher_->start(status);
        result.append(text, copiedUpTo, start - copiedUpTo);
        appendExpanded(*matcher_, replacement, result, status);
        copiedUpTo = matcher_->end(status);
    }
    if (U_FAILURE(status) || !matched)
        return text;
    result.append(text, copiedUpTo, text.length() - copiedUpTo);
    return result;
}

icu::UnicodeString CompiledPattern::Matcher::replacingMatches(const icu::UnicodeString& text,
                                                              const Transform& transform) {
    if (!reset(text))
        return text;
    struct Match {
        std::int32_t start;
        std::int32_t end;
        Groups groups;
    };
    std::vector<Match> matches;
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t from = 0;
    while (nextMatch(text, from, status)) {
        Match match{matcher_->start(status), matcher_->end(status), groups(status)};
        matches.push_back(std::move(match));
    }
    if (U_FAILURE(status) || matches.empty())
        return text;
    icu::UnicodeString result = UnicodeText::withCapacity(text.length());
    std::int32_t copiedUpTo = 0;
    for (const Match& match : matches) {
        result.append(text, copiedUpTo, match.start - copiedUpTo);
        result.append(transform(match.groups));
        copiedUpTo = match.end;
    }
    result.append(text, copiedUpTo, text.length() - copiedUpTo);
    return result;
}

} // namespace BlinkwitCore
