#include "TextPreprocessor.h"

#include "ChromeLineFilter.h"
#include "CompiledPattern.h"
#include "Pipeline.h"
#include "UnicodeText.h"

#include <climits>

namespace BlinkwitCore {

namespace {

bool isStrippedControl(char16_t c) {
    return c <= 0x08 || c == 0x0B || c == 0x0C || (c >= 0x0E && c <= 0x1F) || c == 0x7F;
}

// [\x{00}-\x{08}\x{0B}\x{0C}\x{0E}-\x{1F}\x{7F}] deleted: every control but tab, LF and CR.
icu::UnicodeString withoutStrippedControls(const icu::UnicodeString& text) {
    icu::UnicodeString result = UnicodeText::withCapacity(text.length());
    const char16_t* chars = text.getBuffer();
    std::int32_t copiedUpTo = 0;
    for (std::int32_t i = 0, n = text.length(); i < n; ++i) {
        if (!isStrippedControl(chars[i]))
            continue;
        result.append(chars, copiedUpTo, i - copiedUpTo);
        copiedUpTo = i + 1;
    }
    result.append(chars, copiedUpTo, text.length() - copiedUpTo);
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
    for (std::int32_t i = 0, n = text.length(); i < n; ++i) {
        const char16_t c = chars[i];
        if (c < 0x20 || c == 0x7F || c == 0x9B) {
            found.escape |= c == 0x1B;
            found.csi8Bit |= c == 0x9B;
            found.other |= isStrippedControl(c);
        }
    }
    return found;
}

// Deletes every occurrence of a two-character string, left to right.
icu::UnicodeString deletingPairs(const icu::UnicodeString& text, char16_t c) {
    const char16_t pair[] = {c, c};
    if (text.indexOf(pair, 2, 0) < 0)
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
    Pipeline pipeline(options);
    return pipeline.run(UnicodeText::fromUtf8(from));
}

icu::UnicodeString TextPreprocessor::stripANSI(const icu::UnicodeString& text) {
    static const CompiledPattern operatingSystemCommand(
        uR"re(\x{1B}\][^\x{07}\x{1B}]*(\x{07}|\x{1B}\\))re", 0, u"\x1B");
    static const CompiledPattern controlSequence(
        uR"re(\x{1B}\[[0-9;:?<=>]*[ !\x{22}#$%&'()*+,\-./]*[@-~])re", 0, u"\x1B");
    static const CompiledPattern controlSequence8Bit(uR"re(\x{9B}[0-9;:?<=>]*[@-~])re", 0, u"\x9B");
    static const CompiledPattern twoCharacterEscape(uR"re(\x{1B}[@-_])re", 0, u"\x1B");

    // Each pattern starts with a character that plain text rarely holds; skip the ones whose
    // trigger is absent. Deleting never creates a trigger character.
    const ControlCharacters found = controlCharactersIn(text);
    icu::UnicodeString result = text;
    if (found.escape) {
        result = operatingSystemCommand.replaceAll(result, u"");
        result = controlSequence.replaceAll(result, u"");
    }
    if (found.csi8Bit)
        result = controlSequence8Bit.replaceAll(result, u"");
    if (found.escape)
        result = twoCharacterEscape.replaceAll(result, u"");
    if (found.other)
        result = withoutStrippedControls(result);
    return result;
}

icu::UnicodeString TextPreprocessor::normalize(const icu::UnicodeString& text) {
    // The ten literal replacements in one pass: none produces what a later one replaces, and
    // CR LF is handled before a lone CR.
    icu::UnicodeString result;
    const char16_t* chars = text.getBuffer();
    const std::int32_t n = text.length();
    std::int64_t capacity = n + 1;
    for (std::int32_t i = 0; i < n; ++i)
        capacity += chars[i] == u'\t' ? 3 : 0;
    if (capacity > INT32_MAX)
        return text; // beyond what a string can hold
    char16_t* out = result.getBuffer(std::int32_t(capacity));
    if (out == nullptr)
        return text;
    std::int32_t length = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const char16_t c = chars[i];
        switch (c) {
        case u'\r':
            out[length++] = u'\n';
            if (i + 1 < n && chars[i + 1] == u'\n')
                ++i;
            break;
        case 0x201C:
        case 0x201D:
            out[length++] = u'"';
            break;
        case 0x2018:
        case 0x2019:
            out[length++] = u'\'';
            break;
        case 0x00A0:
        case 0x2007:
        case 0x202F:
            out[length++] = u' ';
            break;
        case u'\t':
            for (int k = 0; k < 4; ++k)
                out[length++] = u' ';
            break;
        default:
            out[length++] = c;
        }
    }
    result.releaseBuffer(length);
    return result;
}

icu::UnicodeString TextPreprocessor::filterChromeLines(const icu::UnicodeString& text) {
    return ChromeLineFilter().filter(text);
}

icu::UnicodeString TextPreprocessor::stripEmphasis(const icu::UnicodeString& text) {
    static const CompiledPattern asteriskEmphasis(
        uR"re((?<=\s|^)\*([^*\n]+)\*(?=[\s.,;:!?)\]]|$))re", UREGEX_MULTILINE, u"*");
    static const CompiledPattern underscoreEmphasis(uR"re((?<![\w`])_([^_\s][^_\n]*)_(?![\w]))re");

    icu::UnicodeString result = deletingPairs(deletingPairs(text, u'*'), u'_');
    if (result.indexOf(u'*') >= 0)
        result = asteriskEmphasis.replaceAll(result, u"$1");
    if (result.indexOf(u'_') >= 0)
        result = underscoreEmphasis.replaceAll(result, u"$1");
    return result;
}

} // namespace BlinkwitCore
