#include "terminal/TerminalColor.h"

#include "terminal/FrameWriter.h"
#include "terminal/TerminalTheme.h"

#include <gtest/gtest.h>
#include <tuple>

using namespace Blinkwit;

TEST(TerminalColor, DepthComesFromTheEnvironment) {
    EXPECT_EQ(TerminalColor::detect("1", "truecolor", "xterm-256color"), ColorDepth::none);
    EXPECT_EQ(TerminalColor::detect("", "truecolor", "xterm"), ColorDepth::trueColor);
    EXPECT_EQ(TerminalColor::detect(nullptr, "24bit", "xterm"), ColorDepth::trueColor);
    EXPECT_EQ(TerminalColor::detect(nullptr, "yes", "tmux-256color"), ColorDepth::palette256);
    EXPECT_EQ(TerminalColor::detect(nullptr, nullptr, "xterm"), ColorDepth::basic);
    EXPECT_EQ(TerminalColor::detect(nullptr, nullptr, nullptr), ColorDepth::basic);
}

TEST(TerminalColor, NearestPaletteColours) {
    for (const auto& [colour, cube, basic] : {std::tuple{Rgb{0, 255, 65}, 47, 10},
                                              {Rgb{255, 0, 0}, 196, 9},
                                              {Rgb{0, 0, 0}, 16, 0},
                                              {Rgb{20, 20, 20}, 233, 0},
                                              {Rgb::grey(0.5), 244, 8},
                                              {Rgb{255, 255, 255}, 231, 15}}) {
        EXPECT_EQ(TerminalColor::nearest256(colour), cube) << cube;
        EXPECT_EQ(TerminalColor::nearestBasic(colour), basic) << cube;
    }
}

TEST(TerminalColor, EscapeParametersForEachDepth) {
    const Rgb accent{0, 255, 65};
    EXPECT_EQ(TerminalColor::foreground(accent, ColorDepth::trueColor), "38;2;0;255;65");
    EXPECT_EQ(TerminalColor::background(accent, ColorDepth::palette256), "48;5;47");
    EXPECT_EQ(TerminalColor::foreground(accent, ColorDepth::basic), "92");
    EXPECT_EQ(TerminalColor::background({0, 0, 0}, ColorDepth::basic), "40");
    EXPECT_EQ(TerminalColor::foreground(accent, ColorDepth::none), "");

    const CellStyle style{accent, Rgb{0, 0, 0}, true, false, true, false};
    EXPECT_EQ(FrameWriter::style(style, ColorDepth::trueColor),
              "\x1b[0;1;4;38;2;0;255;65;48;2;0;0;0m");
    EXPECT_EQ(FrameWriter::style(style, ColorDepth::none), "\x1b[0;1;4m");
}

TEST(TerminalTheme, EveryRoleStandsOffItsBackgroundInSixteenColours) {
    for (const bool dark : {true, false}) {
        const TerminalTheme theme{dark, Rgb{0, 255, 65}, ColorDepth::basic};
        for (const CellStyle& style : {theme.progressTrack(), theme.progressFill(), theme.tick(),
                                       theme.faintHint(), theme.hint(), theme.word()}) {
            ASSERT_TRUE(style.foreground && style.background);
            EXPECT_NE(TerminalColor::nearestBasic(*style.foreground),
                      TerminalColor::nearestBasic(*style.background))
                << (dark ? "dark" : "light");
        }
        // In more colours the shades stay as they are.
        const TerminalTheme fine{dark, Rgb{0, 255, 65}, ColorDepth::palette256};
        EXPECT_NE(fine.progressTrack().foreground, Rgb::grey(0.5));
    }
}
