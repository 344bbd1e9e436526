#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unicode/regex.h>
#include <unicode/unistr.h>
#include <vector>

namespace BlinkwitCore {

// One ICU regular expression, compiled once and shared. The compiled pattern is immutable and
// safe to use from several threads; every operation creates its own matcher. A pattern that
// fails to compile, or a match that fails at run time, leaves the input unchanged.
class CompiledPattern {
public:
    using Groups = std::vector<std::optional<icu::UnicodeString>>;
    using Transform = std::function<icu::UnicodeString(const Groups&)>;

    CompiledPattern(const icu::UnicodeString& source, std::uint32_t flags = 0);

    bool isValid() const { return pattern_ != nullptr; }

    // Does the pattern match anywhere in text?
    bool search(const icu::UnicodeString& text) const;
    // The capture groups of the first match (index 0 the whole match), or nothing.
    std::optional<Groups> firstMatchGroups(const icu::UnicodeString& text) const;
    // Every match replaced by the template ("$1" for group 1).
    icu::UnicodeString replaceAll(const icu::UnicodeString& text,
                                  const icu::UnicodeString& replacement) const;
    // Every match replaced by what transform makes of its groups.
    icu::UnicodeString replacingMatches(const icu::UnicodeString& text,
                                        const Transform& transform) const;

    // A matcher of its own for repeated use by one caller, or null for an invalid pattern.
    std::unique_ptr<icu::RegexMatcher> matcher() const;

    static Groups groupsOf(icu::RegexMatcher& matcher, UErrorCode& status);

private:
    std::unique_ptr<icu::RegexPattern> pattern_;
};

} // namespace BlinkwitCore
