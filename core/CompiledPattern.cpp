#include "CompiledPattern.h"

namespace BlinkwitCore {

namespace {

// The backtracking stack may grow this far before a match gives up: generous enough for any
// pattern of the engine on multi-megabyte texts, small enough to stop runaway input.
constexpr std::int32_t stackLimitBytes = 256 * 1024 * 1024;

std::unique_ptr<icu::RegexMatcher> matcherFor(const icu::RegexPattern& pattern,
                                              const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(pattern.matcher(text, status));
    if (U_FAILURE(status))
        return nullptr;
    matcher->setStackLimit(stackLimitBytes, status);
    return U_FAILURE(status) ? nullptr : std::move(matcher);
}

} // namespace

CompiledPattern::CompiledPattern(const icu::UnicodeString& source, std::uint32_t flags) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    pattern_.reset(icu::RegexPattern::compile(source, flags, parseError, status));
    if (U_FAILURE(status))
        pattern_.reset();
}

std::unique_ptr<icu::RegexMatcher> CompiledPattern::matcher() const {
    if (!pattern_)
        return nullptr;
    static const icu::UnicodeString empty;
    return matcherFor(*pattern_, empty);
}

bool CompiledPattern::search(const icu::UnicodeString& text) const {
    if (!pattern_)
        return false;
    auto matcher = matcherFor(*pattern_, text);
    if (!matcher)
        return false;
    UErrorCode status = U_ZERO_ERROR;
    const bool found = matcher->find(status);
    return U_SUCCESS(status) && found;
}

CompiledPattern::Groups CompiledPattern::groupsOf(icu::RegexMatcher& matcher, UErrorCode& status) {
    Groups groups;
    const std::int32_t count = matcher.groupCount();
    groups.reserve(std::size_t(count) + 1);
    for (std::int32_t i = 0; i <= count && U_SUCCESS(status); ++i) {
        if (matcher.start(i, status) < 0)
            groups.emplace_back(std::nullopt);
        else
            groups.emplace_back(matcher.group(i, status));
    }
    return groups;
}

std::optional<CompiledPattern::Groups>
CompiledPattern::firstMatchGroups(const icu::UnicodeString& text) const {
    if (!pattern_)
        return std::nullopt;
    auto matcher = matcherFor(*pattern_, text);
    if (!matcher)
        return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    if (!matcher->find(status) || U_FAILURE(status))
        return std::nullopt;
    Groups groups = groupsOf(*matcher, status);
    if (U_FAILURE(status))
        return std::nullopt;
    return groups;
}

icu::UnicodeString CompiledPattern::replaceAll(const icu::UnicodeString& text,
                                               const icu::UnicodeString& replacement) const {
    if (!pattern_)
        return text;
    auto matcher = matcherFor(*pattern_, text);
    if (!matcher)
        return text;
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString result = matcher->replaceAll(replacement, status);
    return U_FAILURE(status) ? text : result;
}

icu::UnicodeString CompiledPattern::replacingMatches(const icu::UnicodeString& text,
                                                     const Transform& transform) const {
    if (!pattern_)
        return text;
    auto matcher = matcherFor(*pattern_, text);
    if (!matcher)
        return text;
    // All matches are found before the first transform runs, so that a failure half-way
    // leaves the text unchanged without any transform having seen it.
    struct Match {
        std::int32_t start;
        std::int32_t end;
        Groups groups;
    };
    std::vector<Match> matches;
    UErrorCode status = U_ZERO_ERROR;
    while (matcher->find(status) && U_SUCCESS(status)) {
        Match match{matcher->start(status), matcher->end(status), groupsOf(*matcher, status)};
        matches.push_back(std::move(match));
    }
    if (U_FAILURE(status))
        return text;
    icu::UnicodeString result;
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
