#include "UnicodeText.h"

#include <memory>

#include <unicode/brkiter.h>
#include <unicode/uchar.h>

namespace BlinkwitCore::UnicodeText {

namespace {

// Creating a break iterator loads rule data; one per thread is kept and reused.
icu::BreakIterator* characterIterator() {
    thread_local std::unique_ptr<icu::BreakIterator> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::BreakIterator> created(
            icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
        if (U_FAILURE(status))
            created.reset();
        return created;
    }();
    return iterator.get();
}

bool isAscii(std::string_view utf8) {
    for (unsigned char c : utf8)
        if (c >= 0x80)
            return false;
    return true;
}

} // namespace

icu::UnicodeString fromUtf8(std::string_view utf8) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), std::int32_t(utf8.size())));
}

std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

std::int64_t graphemeCount(const icu::UnicodeString& text) {
    icu::BreakIterator* iterator = characterIterator();
    if (iterator == nullptr)
        return text.countChar32();
    iterator->setText(text);
    std::int64_t count = 0;
    for (std::int32_t at = iterator->next(); at != icu::BreakIterator::DONE;
         at = iterator->next())
        ++count;
    return count;
}

std::int64_t graphemeCount(std::string_view utf8) {
    // Plain ASCII other than CR LF is one character per byte; most words take this path.
    if (isAscii(utf8) && utf8.find("\r\n") == std::string_view::npos)
        return std::int64_t(utf8.size());
    return graphemeCount(fromUtf8(utf8));
}

bool containsNumeric(const icu::UnicodeString& text) {
    for (std::int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        if (u_getIntPropertyValue(text.char32At(i), UCHAR_NUMERIC_TYPE) != U_NT_NONE)
            return true;
    }
    return false;
}

} // namespace BlinkwitCore::UnicodeText
