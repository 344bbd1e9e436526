#include "Pipeline.h"

#include "CompiledPattern.h"
#include "FencedBlockScanner.h"
#include "StashReference.h"
#include "UnicodeText.h"
#include "WordEnding.h"

#include <algorithm>
#include <limits>

namespace BlinkwitCore {

namespace {

using Mode = TextPreprocessor::CodeBlockMode;

std::string utf8(const icu::UnicodeString& text) {
    return UnicodeText::toUtf8(text);
}

icu::UnicodeString codeBlockLabel(const std::optional<icu::UnicodeString>& language,
                                  std::int64_t lineCount) {
    icu::UnicodeString label(u"⟨code: ");
    if (language)
        label.append(*language).append(u", ");
    label.append(icu::UnicodeString::fromUTF8(std::to_string(lineCount)));
    label.append(lineCount == 1 ? u" line⟩" : u" lines⟩");
    return label;
}

std::int64_t lineCountOf(const icu::UnicodeString& body) {
    if (body.isEmpty())
        return 0;
    std::int64_t count = 1;
    for (std::int32_t i = 0; i < body.length(); ++i)
        count += body[i] == u'\n';
    return count;
}

// ASCII digits only, within the signed 64-bit range.
std::optional<std::int64_t> decimalValue(const icu::UnicodeString& digits) {
    std::int64_t value = 0;
    for (std::int32_t i = 0; i < digits.length(); ++i) {
        const char16_t c = digits[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        if (value > (std::numeric_limits<std::int64_t>::max() - (c - u'0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return value;
}

icu::UnicodeString without(const icu::UnicodeString& text, char16_t c) {
    icu::UnicodeString result(text);
    result.findAndReplace(icu::UnicodeString(c), icu::UnicodeString());
    return result;
}

bool startsWith(const icu::UnicodeString& text, std::u16string_view prefix) {
    return text.startsWith(prefix.data(), std::int32_t(prefix.size()));
}

bool hasPathSeparator(const icu::UnicodeString& text) {
    return text.indexOf(u'/') >= 0 || text.indexOf(u'\\') >= 0;
}

// The host of an address: "(?i)^https?://", then "[/:?#].*$", then "^www\." removed. The
// address came from a match of "(?i)\bhttps?://[^\s...]+", so its scheme ends at its first
// "://" and it holds no line terminator for ".*$" to stop at.
icu::UnicodeString addressHost(const icu::UnicodeString& address) {
    std::int32_t hostStart = UnicodeText::find(address, u"://") + 3;
    std::int32_t hostEnd = hostStart;
    while (hostEnd < address.length() &&
           std::u16string_view(u"/:?#").find(address[hostEnd]) == std::u16string_view::npos)
        ++hostEnd;
    if (startsWith(address.tempSubString(hostStart), u"www."))
        hostStart += 4;
    return icu::UnicodeString(address, hostStart, std::max(hostEnd - hostStart, 0));
}

// An address begins 4 or 5 characters before its "://": "http" or "https" in any letter case
// is 4 or 5 single UTF-16 units, ſ (U+017F, folding to s) the only one outside ASCII.
std::int32_t addressCandidate(const icu::UnicodeString& text, std::int32_t from) {
    const std::int32_t separator = UnicodeText::find(text, u"://", from + 4);
    if (separator < 0)
        return text.length();
    return separator - 5 >= from ? separator - 5 : separator - 4;
}

// Most words are ASCII without a path separator. Each of their characters is a character of
// its own (CR never stands inside a word) and only ASCII punctuation can close them, so
// resolving them needs no Unicode services.
bool isPlainAscii(UChar32 c) {
    return c < 0x80 && c != u'/' && c != u'\\';
}

// The sentence and clause ends of a plain ASCII word, read as WordEnding reads any word.
WordEnding::Flags plainAsciiEnding(const char16_t* chars, std::int32_t length) {
    std::int32_t end = length;
    while (end > 0 &&
           std::u16string_view(u"\"')]}").find(chars[end - 1]) != std::u16string_view::npos)
        --end;
    if (end == 0)
        return {};
    return {std::u16string_view(u".!?").find(chars[end - 1]) != std::u16string_view::npos,
            std::u16string_view(u",;:").find(chars[end - 1]) != std::u16string_view::npos};
}

// Appends a plain ASCII word to the list without building a Token: its bytes are its
// characters.
void pushPlainAsciiWord(TokenList& tokens, const char16_t* chars, std::int32_t length,
                        std::int64_t sentence, std::int64_t paragraph) {
    char narrow[256];
    std::string wide;
    char* bytes = narrow;
    if (length > std::int32_t(sizeof narrow)) {
        wide.resize(std::size_t(length));
        bytes = wide.data();
    }
    bool digits = false;
    for (std::int32_t i = 0; i < length; ++i) {
        bytes[i] = char(chars[i]);
        digits = digits || (chars[i] >= u'0' && chars[i] <= u'9');
    }
    const WordEnding::Flags ending = plainAsciiEnding(chars, length);
    tokens.pushWord(std::string_view(bytes, std::size_t(length)), length, digits,
                    ending.endsSentence, ending.endsClause, sentence, paragraph);
}

// An upper bound of the token count, so that the list is allocated once.
std::size_t wordCount(const icu::UnicodeString& text) {
    const char16_t* chars = text.getBuffer();
    std::size_t count = 0;
    bool inWord = false;
    for (std::int32_t i = 0, n = text.length(); i < n; ++i) {
        // Surrogates are never white space, so code units do here.
        const bool space = UnicodeText::isWhiteSpace(chars[i]);
        count += !space && !inWord;
        inWord = !space;
    }
    return count;
}

Pipeline::WordTraits traitsOf(const icu::UnicodeString& word) {
    Pipeline::WordTraits traits;
    const char16_t* chars = word.getBuffer();
    for (std::int32_t i = 0, n = word.length(); i < n; ++i) {
        const char16_t c = chars[i];
        if (c < 0x80) {
            traits.asciiDigit |= c >= u'0' && c <= u'9';
            traits.pathSeparator |= c == u'/' || c == u'\\';
            continue;
        }
        traits.ascii = false;
        traits.marked |= c == TextPreprocessor::sentenceMark;
        traits.placeholder |= c == Pipeline::placeholderMark;
    }
    return traits;
}

} // namespace

TokenList Pipeline::run(icu::UnicodeString text) {
    return runPiece(std::move(text)).tokens;
}

Pipeline::Piece Pipeline::runPiece(icu::UnicodeString text) {
    // Each stage's input is released as soon as its output exists: at most two copies of the
    // text are alive at once.
    text = TextPreprocessor::stripANSI(std::move(text));
    text = TextPreprocessor::normalize(text);
    text = extractFencedCodeBlocks(std::move(text));
    text = TextPreprocessor::filterChromeLines(text);
    text = extractInline(std::move(text));
    text = TextPreprocessor::stripEmphasis(std::move(text));
    Tokenized tokenized = tokenize(text);
    return Piece{.tokens = std::move(tokenized.tokens),
                 .paragraphs = tokenized.paragraphs,
                 .fenceLeftOpen = fenceLeftOpen_,
                 .links = linksOpen_};
}

Pipeline::OpenMarkup Pipeline::OpenMarkup::of(const icu::UnicodeString& text) {
    OpenMarkup ends;
    const char16_t* chars = text.getBuffer();
    for (std::int32_t i = text.length(); i-- > 0 && !(ends.bracket && ends.target);) {
        const char16_t c = chars[i];
        if ((c == u'[' || c == u']') && !ends.bracket)
            ends.bracket = c == u'[';
        if (c == u')' && !ends.target)
            ends.target = false;
        if (c == u'(' && i > 0 && chars[i - 1] == u']' && !ends.target)
            ends.target = true;
    }
    return ends;
}

Pipeline::OpenMarkup Pipeline::OpenMarkup::after(const OpenMarkup& text) const {
    return OpenMarkup{text.bracket ? text.bracket : bracket, text.target ? text.target : target};
}

icu::UnicodeString Pipeline::stashToken(Token token) {
    icu::UnicodeString placeholder(placeholderMark);
    placeholder.append(icu::UnicodeString::fromUTF8(std::to_string(stash_.size())));
    placeholder.append(placeholderMark);
    stash_.push_back(std::move(token));
    return placeholder;
}

icu::UnicodeString Pipeline::collapseCodeBlock(const std::optional<icu::UnicodeString>& language,
                                               const icu::UnicodeString& body) {
    switch (options_.codeBlockMode) {
    case Mode::placeholder: {
        const std::int64_t lineCount = lineCountOf(body);
        std::optional<std::string> languageName;
        if (language)
            languageName = utf8(*language);
        Token token{.text = utf8(codeBlockLabel(language, lineCount)),
                    .kind = TokenKind::codeBlock(std::move(languageName), lineCount),
                    .codeContent = utf8(body)};
        return icu::UnicodeString(u'\n').append(stashToken(std::move(token))).append(u'\n');
    }
    case Mode::readWords:
        return icu::UnicodeString(u"\n\n").append(body).append(u"\n\n");
    case Mode::skip:
        break;
    }
    return u"\n\n";
}

icu::UnicodeString Pipeline::extractFencedCodeBlocks(icu::UnicodeString text) {
    fenceLeftOpen_ = false;
    if (UnicodeText::find(text, u"```") < 0)
        return text;
    const std::vector<FencedBlockScanner::Block> blocks = FencedBlockScanner::closedBlocks(text);
    fenceLeftOpen_ =
        FencedBlockScanner::hasFenceLineFrom(text, blocks.empty() ? 0 : blocks.back().end);
    icu::UnicodeString result =
        UnicodeText::withCapacity(text.length() + 16 * std::int32_t(blocks.size()));
    std::int32_t copiedUpTo = 0;
    for (const FencedBlockScanner::Block& block : blocks) {
        result.append(text, copiedUpTo, block.start - copiedUpTo);
        result.append(collapseCodeBlock(block.language, block.body));
        copiedUpTo = block.end;
    }
    result.append(text, copiedUpTo, text.length() - copiedUpTo);
    text = std::move(result);
    return FencedBlockScanner::blankStrayFences(text);
}

icu::UnicodeString Pipeline::extractInline(icu::UnicodeString text) {
    static const CompiledPattern image(uR"re(!\[([^\]]*)\]\(([^)]*)\))re", 0, u"!");
    static const CompiledPattern link(uR"re(\[([^\]]+)\]\(([^)]*)\))re", 0, u"[");

    text = extractCodeSpans(text);
    if (UnicodeText::find(text, u"![") >= 0)
        text = image.replaceAll(text, u"$1");
    linksOpen_ = OpenMarkup::of(text);
    if (UnicodeText::find(text, u"](") >= 0)
        text = link.replaceAll(text, u"$1");
    return extractAddresses(text);
}

icu::UnicodeString Pipeline::extractCodeSpans(const icu::UnicodeString& text) {
    // The pipeline's own marks are kept out of spans, so a span's text never carries them.
    static const CompiledPattern codeSpan(uR"re(`([^`\n\x{E000}\x{E001}]+)`)re", 0, u"`");
    if (UnicodeText::find(text, u'`') < 0)
        return text;
    return codeSpan.replacingMatches(text, [this](const CompiledPattern::Groups& groups) {
        return stashToken(Token{.text = utf8(groups[1].value_or(u"")), .kind = TokenKind::code()});
    });
}

icu::UnicodeString Pipeline::extractAddresses(const icu::UnicodeString& text) {
    // An address stops at the pipeline's marks: a list item's sentence mark after an address
    // stays outside it.
    static const CompiledPattern address(
        uR"re((?i)\bhttps?://[^\s<>\x{22}'\)\]\x{E000}\x{E001}]+)re", 0, addressCandidate);
    if (UnicodeText::find(text, u"://") < 0)
        return text;
    return address.replacingMatches(text, [this](const CompiledPattern::Groups& groups) {
        const icu::UnicodeString host = addressHost(groups[0].value_or(u""));
        icu::UnicodeString shown = icu::UnicodeString(u"⟨").append(host).append(u"⟩");
        return stashToken(Token{.text = utf8(shown), .kind = TokenKind::url()});
    });
}

Pipeline::Tokenized Pipeline::tokenize(const icu::UnicodeString& text) const {
    struct Range {
        std::int32_t start;
        std::int32_t end;
    };
    std::vector<Range> paragraphs;
    const char16_t* chars = text.getBuffer();
    const std::int32_t n = text.length();
    bool inParagraph = false;
    for (std::int32_t lineStart = 0; lineStart <= n;) {
        std::int32_t lineEnd = UnicodeText::find(text, u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = n;
        bool blank = true;
        for (std::int32_t i = lineStart; i < lineEnd && blank; ++i)
            blank = UnicodeText::isSpaceOrTab(chars[i]);
        if (blank)
            inParagraph = false;
        else if (inParagraph)
            paragraphs.back().end = lineEnd;
        else
            paragraphs.push_back({lineStart, lineEnd});
        inParagraph = !blank;
        lineStart = lineEnd + 1;
    }

    Tokenized result{.paragraphs = paragraphs.size()};
    TokenList& tokens = result.tokens;
    // Text bytes: at most the UTF-16 units of the words, most of them ASCII.
    tokens.reserve(wordCount(text), std::size_t(n));
    std::int64_t sentence = 0;
    std::int64_t paragraphIndex = 0;
    for (std::size_t p = 0; p < paragraphs.size(); ++p) {
        const std::size_t first = tokens.size();
        const Range range = paragraphs[p];
        for (std::int32_t i = range.start; i < range.end;) {
            const std::int32_t wordStart = i;
            UChar32 c = 0;
            U16_NEXT(chars, i, range.end, c);
            if (UnicodeText::isWhiteSpace(c))
                continue;
            std::int32_t wordEnd = i;
            bool plain = isPlainAscii(c);
            while (i < range.end) {
                U16_NEXT(chars, i, range.end, c);
                if (UnicodeText::isWhiteSpace(c))
                    break;
                plain = plain && isPlainAscii(c);
                wordEnd = i;
            }
            if (plain) {
                pushPlainAsciiWord(tokens, chars + wordStart, wordEnd - wordStart, sentence,
                                   paragraphIndex);
            } else {
                const icu::UnicodeString word(false, chars + wordStart, wordEnd - wordStart);
                auto token = resolve(word);
                if (!token)
                    continue;
                token->sentenceIndex = sentence;
                token->paragraphIndex = paragraphIndex;
                tokens.push_back(*token);
            }
            sentence += tokens.endsSentence(tokens.size() - 1);
        }
        if (tokens.size() == first)
            continue;
        const std::size_t last = tokens.size() - 1;
        if (!tokens.endsSentence(last)) {
            tokens.setEndsSentence(last, true);
            ++sentence;
        }
        tokens.setParagraphBreakAfter(last, p + 1 < paragraphs.size());
        ++paragraphIndex;
    }
    return result;
}

std::optional<Token> Pipeline::resolveStashed(const icu::UnicodeString& word) const {
    const auto placeholder = StashReference::parse(word);
    if (!placeholder)
        return std::nullopt;
    const auto index = decimalValue(placeholder->digits);
    if (!index || *index >= std::int64_t(stash_.size()))
        return std::nullopt;
    Token token = stash_[std::size_t(*index)];
    const WordEnding::Flags flags = WordEnding::flagsOf(placeholder->punctuation);
    if (flags.endsSentence)
        token.endsSentence = true;
    else if (flags.endsClause)
        token.endsClause = true;
    return token;
}

std::optional<Token> Pipeline::resolve(const icu::UnicodeString& original) const {
    const WordTraits traits = traitsOf(original);
    if (!traits.marked && !traits.placeholder)
        return ordinaryWord(original, traits);
    icu::UnicodeString word = without(original, TextPreprocessor::sentenceMark);
    if (word.isEmpty())
        return std::nullopt;
    if (traits.placeholder) {
        if (word[0] == placeholderMark) {
            if (auto token = resolveStashed(word)) {
                token->endsSentence = token->endsSentence || traits.marked;
                return token;
            }
        }
        static const CompiledPattern embedded(uR"re(\x{E000}\d+\x{E000})re");
        // A lone mark left over cannot be shown either.
        word = without(embedded.replaceAll(word, u""), placeholderMark);
        if (word.isEmpty())
            return std::nullopt;
    }
    return ordinaryWord(word, traits);
}

Token Pipeline::ordinaryWord(const icu::UnicodeString& word, const WordTraits& traits) {
    Token token{.text = utf8(word)};
    token.containsDigits = traits.ascii && !traits.placeholder ? traits.asciiDigit
                                                               : UnicodeText::containsNumeric(word);
    const WordEnding::Flags flags = WordEnding::flagsOf(word);
    token.endsSentence = flags.endsSentence;
    token.endsClause = flags.endsClause;
    if (traits.pathSeparator)
        resolvePath(word, token);
    token.endsSentence = token.endsSentence || traits.marked;
    return token;
}

void Pipeline::resolvePath(const icu::UnicodeString& word, Token& token) {
    const std::int32_t closedEnd =
        WordEnding::trimmingTrailing(word, word.length(), WordEnding::closingCharacters);
    const std::int32_t coreEnd =
        WordEnding::trimmingTrailing(word, closedEnd, WordEnding::pathTrailingCharacters);
    const icu::UnicodeString core = word.tempSubString(0, coreEnd);
    if (!looksLikePath(core))
        return;
    const WordEnding::Flags restFlags = WordEnding::flagsOf(word.tempSubString(coreEnd));
    token.text = utf8(core);
    token.kind = TokenKind::code();
    token.endsSentence = restFlags.endsSentence;
    token.endsClause = restFlags.endsClause;
    token.containsDigits = UnicodeText::containsNumeric(core);
}

bool Pipeline::looksLikePath(const icu::UnicodeString& s) {
    static const CompiledPattern windowsPath(uR"re(^([A-Za-z]:)?\\?[\w.$~-]+(\\[\w.$~-]+)+$)re");
    static const CompiledPattern rootedPath(uR"re(^[~./][\w~@+.-]*(/[\w@+.%#-]+)*/?$)re");
    static const CompiledPattern relativePath(uR"re(^[\w~@+.-]+(/[\w@+.%#-]+)+/?$)re");
    static const CompiledPattern deepRelativePath(uR"re(^[\w~@+.-]+(/[\w@+.%#-]+){2,}/?$)re");

    if (s.length() < 3 || !hasPathSeparator(s) || UnicodeText::graphemeCount(s) < 3)
        return false;
    if (s.indexOf(u'\\') >= 0 && windowsPath.search(s))
        return true;
    if (s.indexOf(u'/') < 0)
        return false;
    if (startsWith(s, u"~/") || startsWith(s, u"./") || startsWith(s, u"../") ||
        startsWith(s, u"/"))
        return rootedPath.search(s);
    if (relativePath.search(s) && s.indexOf(u'.') >= 0)
        return true;
    return deepRelativePath.search(s);
}

} // namespace BlinkwitCore
