#pragma once

#include "CompiledPattern.h"

#include <unicode/unistr.h>

namespace BlinkwitCore {

// Drops console chrome line by line (spinners, frames, key hints, token counters, tool-call
// lines, rules) and turns Markdown headings, quotes and list items into plain lines. One
// filter serves one text on one thread.
class ChromeLineFilter {
public:
    ChromeLineFilter();

    icu::UnicodeString filter(const icu::UnicodeString& text);

private:
    void filterLine(const icu::UnicodeString& line);
    bool isChrome(const icu::UnicodeString& trimmed);
    void filterQuotedLine(const icu::UnicodeString& q);
    void emit(const icu::UnicodeString& line);

    CompiledPattern::Matcher tokenCounter_;
    CompiledPattern::Matcher toolCall_;
    CompiledPattern::Matcher rule_;
    CompiledPattern::Matcher heading_;
    CompiledPattern::Matcher listItem_;
    icu::UnicodeString output_;
    bool firstLine_ = true;
};

} // namespace BlinkwitCore
