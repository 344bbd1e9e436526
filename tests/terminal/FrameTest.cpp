#include "terminal/Frame.h"

#include "terminal/CodeLines.h"
#include "terminal/FrameWriter.h"

#include <gtest/gtest.h>

using namespace Blinkwit;

TEST(Frame, DoubleWidthGlyphsTakeTwoCellsAndNeverHalfShow) {
    Frame frame(6, 1);
    EXPECT_EQ(frame.put(0, 0, "\u65e5\u672c", {}), 4);
    EXPECT_TRUE(frame.at(0, 1).continuation);
    EXPECT_EQ(frame.text(0), "\u65e5\u672c  ");

    frame.put(0, 1, "x", {}); // over the right half of the first glyph
    EXPECT_EQ(frame.text(0), " x\u672c  ");
    frame.put(0, 2, "y", {}); // over the left half of the second
    EXPECT_EQ(frame.text(0), " xy   ");
    frame.put(0, 5, "\u65e5", {}); // would hang over the edge
    EXPECT_EQ(frame.text(0), " xy   ");
    frame.put(0, -1, "abc", {}); // clipped on the left
    EXPECT_EQ(frame.text(0), "bcy   ");
}

TEST(Frame, ControlCharactersNeverReachTheTerminal) {
    Frame frame(20, 1);
    frame.put(0, 0,
              "a\x1b]0;pwned\x07\x9b"
              "b\tc",
              {});
    const std::string bytes = FrameWriter::render(frame, nullptr, ColorDepth::trueColor);
    EXPECT_EQ(bytes.find("\x1b]"), std::string::npos);
    EXPECT_EQ(bytes.find('\x07'), std::string::npos);
    EXPECT_EQ(bytes.find('\t'), std::string::npos);
    EXPECT_EQ(frame.text(0).rfind("a\ufffd]0;pwned\ufffd\ufffdb\ufffdc", 0), 0u);
}

TEST(Frame, WidthsOfCombiningWideAndEmojiGlyphs) {
    for (const auto& [text, width] : {std::pair{"cafe\u0301", 4},
                                      {"\u65e5\u672c\u8a9e", 6},
                                      {"\U0001F600", 2},
                                      {"\u2764\uFE0F", 2},
                                      {"a\u200Bb", 2}})
        EXPECT_EQ(TerminalText::width(text), width) << text;
    EXPECT_EQ(TerminalText::glyphs("e\u0301x").size(), 2u);
}

TEST(Frame, WrapsAtSpacesAndBreaksOverlongWords) {
    EXPECT_EQ(TerminalText::wrap("one two three four", 9),
              (std::vector<std::string>{"one two", "three", "four"}));
    EXPECT_EQ(TerminalText::wrap("abcdefghij xy", 4),
              (std::vector<std::string>{"abcd", "efgh", "ij", "xy"}));
    EXPECT_EQ(TerminalText::wrap("  spaced   out  ", 20), (std::vector<std::string>{"spaced out"}));
    EXPECT_TRUE(TerminalText::wrap("", 5).empty());
    EXPECT_TRUE(TerminalText::wrap("text", 0).empty());
}

TEST(FrameWriter, WritesOnlyChangedRowsInsideOneSynchronizedUpdate) {
    Frame first(10, 3);
    first.put(1, 0, "hello", {});
    const std::string full = FrameWriter::render(first, nullptr, ColorDepth::trueColor);
    EXPECT_EQ(full.rfind("\x1b[?2026h", 0), 0u);
    EXPECT_NE(full.find("\x1b[2J"), std::string::npos);
    EXPECT_NE(full.find("\x1b[3;1H"), std::string::npos);
    EXPECT_TRUE(full.ends_with("\x1b[?2026l"));

    Frame second = first;
    second.put(2, 0, "world", CellStyle{Rgb{0, 255, 65}});
    const std::string update = FrameWriter::render(second, &first, ColorDepth::trueColor);
    EXPECT_EQ(update.find("\x1b[2J"), std::string::npos);
    EXPECT_EQ(update.find("\x1b[2;1H"), std::string::npos);
    EXPECT_NE(update.find("\x1b[3;1H"), std::string::npos);
    EXPECT_NE(update.find("world"), std::string::npos);
    EXPECT_EQ(FrameWriter::render(second, nullptr, ColorDepth::none).find("38;"),
              std::string::npos);

    const Frame resized(12, 3);
    EXPECT_NE(FrameWriter::render(resized, &first, ColorDepth::basic).find("\x1b[2J"),
              std::string::npos);
}

TEST(CodeLines, SplitsLinesExpandsTabsAndSlicesByColumn) {
    const CodeLines code("if x:\r\n\treturn 1\n\n\u65e5\u672cab\n");
    ASSERT_EQ(code.count(), 4);
    EXPECT_EQ(TerminalText::width(code.line(1)), 12);
    EXPECT_EQ(code.widest(), 12);
    EXPECT_EQ(code.line(2).size(), 0u);

    const auto text = [](const std::vector<Glyph>& glyphs) {
        std::string out;
        for (const Glyph& glyph : glyphs)
            out += glyph.text;
        return out;
    };
    EXPECT_EQ(text(code.slice(1, 4, 3)), "ret");
    EXPECT_EQ(text(code.slice(3, 1, 3)), " \u672c"); // first glyph cut in half
    EXPECT_EQ(text(code.slice(3, 0, 3)), "\u65e5 "); // second glyph cut in half
    EXPECT_EQ(text(code.slice(0, 50, 3)), "");
    EXPECT_EQ(CodeLines("a\tb").line(0).size(), 5u);
}
