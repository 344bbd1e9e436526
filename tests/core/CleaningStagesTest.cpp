#include "TextTestSupport.h"

#include <gtest/gtest.h>

using BlinkwitCore::TextPreprocessor;
using namespace TextTestSupport;

namespace {

std::string stripANSI(const std::string& text) {
    return apply(TextPreprocessor::stripANSI, text);
}
std::string normalize(const std::string& text) {
    return apply(TextPreprocessor::normalize, text);
}
std::string filter(const std::string& text) {
    return apply(TextPreprocessor::filterChromeLines, text);
}
std::string emphasis(const std::string& text) {
    return apply(TextPreprocessor::stripEmphasis, text);
}

} // namespace

TEST(StripANSI, RemovesColoursCursorMovesAndHyperlinkWrappers) {
    EXPECT_EQ(stripANSI(esc + "[1;32mDone" + esc + "[0m"), "Done");
    EXPECT_EQ(stripANSI(esc + "]8;;https://x.org" + "\x07" + "word" + esc + "]8;;" + esc + "\\"),
              "word");
    EXPECT_EQ(stripANSI(esc + "]0;title\x07rest"), "rest");
    EXPECT_EQ(stripANSI("a" + esc + "[2K" + esc + "[1G" + "b"), "ab");
    EXPECT_EQ(stripANSI("a" + esc + "[?25h" + "b"), "ab");
    EXPECT_EQ(stripANSI("a" + esc + "[1 qb"), "ab"); // an intermediate character
    EXPECT_EQ(stripANSI("a\xc2\x9b"
                        "31mb"),
              "ab");                                             // 8-bit introducer U+009B
    EXPECT_EQ(stripANSI("a" + esc + "Mb" + esc + "7c"), "ab7c"); // ESC 7 is not in @.._
}

TEST(StripANSI, DeletesOtherControlsButKeepsLineStructure) {
    EXPECT_EQ(stripANSI("a\x07"
                        "b\x08"
                        "c\x7f"
                        "d\x0b\x0c"
                        "e"),
              "abcde");
    EXPECT_EQ(stripANSI(std::string("a\0b", 3)), "ab");
    EXPECT_EQ(stripANSI("a\tb\nc\r\nd"), "a\tb\nc\r\nd");
    // An unterminated OSC is left to the later patterns: ESC ] is a two-character escape.
    EXPECT_EQ(stripANSI(esc + "]8;;no end"), "8;;no end");
    // Removing one sequence can complete another one, as the passes run in order.
    EXPECT_EQ(stripANSI(esc + esc +
                        "]0;t\x07"
                        "[31mX"),
              "X");
}

TEST(Normalize, LineEndsQuotesSpacesAndTabs) {
    EXPECT_EQ(normalize("a\r\nb\rc\n\r\nd"), "a\nb\nc\n\nd");
    EXPECT_EQ(normalize("\xe2\x80\x9cq\xe2\x80\x9d \xe2\x80\x98s\xe2\x80\x99"), "\"q\" 's'");
    EXPECT_EQ(normalize("a\xc2\xa0"
                        "b\xe2\x80\x87"
                        "c\xe2\x80\xaf"
                        "d"),
              "a b c d");
    EXPECT_EQ(normalize("\tx\t"), "    x    ");
    EXPECT_EQ(normalize("\r\r\n"), "\n\n");
}

TEST(FilterChromeLines, DropsSpinnersAndKeepsRecordBulletText) {
    EXPECT_EQ(filter("\xe2\xa0\x8b Thinking\xe2\x80\xa6\nkept"), "kept");
    EXPECT_EQ(filter("\xe2\x9c\xbb Compacting conversation\nkept"), "kept");
    EXPECT_EQ(filter("  \xe2\x88\x97 working"), "");
    EXPECT_EQ(filter("\xe2\x8f\xba Done."), " Done.");
    // A spinner glyph with a variation selector is another character and stays.
    EXPECT_EQ(filter("\xe2\x9c\xb3\xef\xb8\x8f starred"), "\xe2\x9c\xb3\xef\xb8\x8f starred");
}

TEST(FilterChromeLines, FramesVanishWithoutSplittingParagraphs) {
    EXPECT_EQ(filter("one\n\xe2\x94\x80\xe2\x94\x80\xe2\x94\x82\ntwo"), "one\ntwo");
    EXPECT_EQ(filter("\xe2\x94\x82 text \xe2\x94\x82"), " text ");
    EXPECT_EQ(filter("\xe2\x95\xad\xe2\x94\x80\xe2\x95\xae"), "");
    EXPECT_EQ(filter("a\n\nb"), "a\n\nb");
    EXPECT_EQ(filter("a\n"), "a\n");
}

TEST(FilterChromeLines, KeyHintsTokenCountersAndToolCalls) {
    EXPECT_EQ(filter("x\n(CTRL+R to Expand)\ny"), "x\ny");
    EXPECT_EQ(filter("press esc to interrupt"), "");
    EXPECT_EQ(filter("ctrl-r to expand"), "");
    EXPECT_EQ(filter("ctrl+x to expand"), "ctrl+x to expand");
    EXPECT_EQ(filter("12.3k tokens"), "");
    EXPECT_EQ(filter("  1,024 tokens  "), "");
    EXPECT_EQ(filter("12.3k Tokens"), "12.3k Tokens");
    EXPECT_EQ(filter("Bash(ls -la)"), "");
    EXPECT_EQ(filter("Read(src/main.c) \xe2\x80\xa6"), "");
    EXPECT_EQ(filter("Bash (ls)"), "Bash (ls)");
    EXPECT_EQ(filter("bash(ls)"), "bash(ls)");
    EXPECT_EQ(filter("Bash(f(x))"), "Bash(f(x))");
}

TEST(FilterChromeLines, RulesAndQuotes) {
    EXPECT_EQ(filter("---\n*****\n~~~\n===\n--"), "--");
    EXPECT_EQ(filter("> > quoted"), "> quoted");
    EXPECT_EQ(filter("  >quoted"), "quoted");
    EXPECT_EQ(filter(">  two spaces"), " two spaces");
}

TEST(FilterChromeLines, HeadingsBecomeOwnParagraphsEndingASentence) {
    EXPECT_EQ(filter("## Install"), "\nInstall" + mark + "\n");
    EXPECT_EQ(filter("#Install"), "#Install");
    EXPECT_EQ(filter("####### seven"), "####### seven");
    EXPECT_EQ(filter("> # Quoted title"), "\nQuoted title" + mark + "\n");
}

TEST(FilterChromeLines, ListItemsLoseTheirMarkers) {
    EXPECT_EQ(filter("- apples\n2) pears\n123. plums"),
              "apples" + mark + "\npears" + mark + "\nplums" + mark);
    EXPECT_EQ(filter("1234. plums"), "1234. plums");
    EXPECT_EQ(filter("-apples"), "-apples");
    EXPECT_EQ(filter("  \xe2\x80\xa2 bullet"), "bullet" + mark);
    EXPECT_EQ(filter("- trailing  "), "trailing  " + mark);
    // Decimal digits of other scripts count as digits.
    EXPECT_EQ(filter("\xd9\xa3. item"), "item" + mark);
}

TEST(StripEmphasis, BoldMarkersGoAnywhere) {
    EXPECT_EQ(emphasis("**bold** and __bold__"), "bold and bold");
    EXPECT_EQ(emphasis("a**b"), "ab");
    EXPECT_EQ(emphasis("***x"), "*x");
}

TEST(StripEmphasis, SingleMarkersOnlyAroundWords) {
    EXPECT_EQ(emphasis("*word* here"), "word here");
    EXPECT_EQ(emphasis("see *this*, now"), "see this, now");
    EXPECT_EQ(emphasis("2*3*4"), "2*3*4");
    EXPECT_EQ(emphasis("snake_case_name"), "snake_case_name");
    EXPECT_EQ(emphasis("_word_"), "word");
    EXPECT_EQ(emphasis("`_x_"), "`_x_");
    EXPECT_EQ(emphasis("_ spaced_"), "_ spaced_");
    EXPECT_EQ(emphasis("line\n*two*"), "line\ntwo");
}
