#pragma once

#include "CompiledPattern.h"

#include <unicode/unistr.h>

namespace BlinkwitCore {

// Drops console chrome line by line (spinners, frames, key hints, token counters, tool-call
// lines, rules) and turns Markdown headings, quotes and list items into plain lines.
class ChromeLineFilter {
public:
    icu::UnicodeString filter(const icu::UnicodeString& text);

private:
    void filterLine(const icu::UnicodeString& line);
    void filterQuotedLine(const icu::UnicodeString& q);
    void emit(const icu::UnicodeString& line);

    icu::UnicodeString output_;
    bool firstLine_ = true;
};

} // namespace BlinkwitCore
