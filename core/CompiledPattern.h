#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unicode/regex.h>
#include <unicode/unistr.h>
#include <vector>

namespace BlinkwitCore {

// One ICU regular expression, compiled once and shared. The compiled pattern is immutable and
// safe to use from several threads; matchers are not, so every use makes its own. A pattern
// that fails to compile, or a match that fails at run time, leaves the input unchanged.
class CompiledPattern {
public:
    using Groups = std::vector<std::optional<icu::UnicodeString>>;
    using Transform = std::function<icu::UnicodeString(const Groups&)>;

    // A matcher for one thread's repeated use of the pattern on many short strings.
    class Matcher {
    public:
        explicit Matcher(const CompiledPattern& pattern);

        // Does the pattern match anywhere in text?
        bool search(const icu::UnicodeString& text);
        // The capture groups of the first match (index 0 the whole match), or nothing.
        std::optional<Groups> firstMatchGroups(const icu::UnicodeString& text);
        // Every match replaced by the template: "$n" is group n, a backslash escapes.
        icu::UnicodeString replaceAll(const icu::UnicodeString& text,
                                      const icu::UnicodeString& replacement);
        // Every match replaced by what transform makes of its groups. All matches are found
        // before the first transform runs, so a failure half-way leaves the text unchanged
        // without any transform having seen it.
        icu::UnicodeString replacingMatches(const icu::UnicodeString& text,
                                            const Transform& transform);

    private:
        bool reset(const icu::UnicodeString& text);
        bool nextMatch(const icu::UnicodeString& text, std::int32_t& from, UErrorCode& status);
        Groups groups(UErrorCode& status);

        const CompiledPattern& pattern_;
        std::unique_ptr<icu::RegexMatcher> matcher_;
    };

    // The next position at or after from where a match may begin, or text.length().
    using CandidateFinder = std::int32_t (*)(const icu::UnicodeString& text, std::int32_t from);

    CompiledPattern(const icu::UnicodeString& source, std::uint32_t flags = 0);
    // startCharacters must hold every character a match can begin with: texts are then scanned
    // for them and the pattern is tried only there, with look-around and anchors still seeing
    // the whole text. The matches are the same as those of a plain search.
    CompiledPattern(const icu::UnicodeString& source, std::uint32_t flags,
                    std::u16string_view startCharacters);
    // The same with a finder that never skips a position where a match begins.
    CompiledPattern(const icu::UnicodeString& source, std::uint32_t flags,
                    CandidateFinder candidates);

    bool isValid() const { return pattern_ != nullptr; }

    // One-off uses, each with a matcher of its own.
    bool search(const icu::UnicodeString& text) const { return Matcher(*this).search(text); }
    std::optional<Groups> firstMatchGroups(const icu::UnicodeString& text) const {
        return Matcher(*this).firstMatchGroups(text);
    }
    icu::UnicodeString replaceAll(const icu::UnicodeString& text,
                                  const icu::UnicodeString& replacement) const {
        return Matcher(*this).replaceAll(text, replacement);
    }
    icu::UnicodeString replacingMatches(const icu::UnicodeString& text,
                                        const Transform& transform) const {
        return Matcher(*this).replacingMatches(text, transform);
    }

private:
    std::int32_t nextCandidate(const icu::UnicodeString& text, std::int32_t from) const;

    std::unique_ptr<icu::RegexPattern> pattern_;
    std::u16string startCharacters_;
    CandidateFinder candidates_ = nullptr;
};

} // namespace BlinkwitCore
