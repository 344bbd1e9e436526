#pragma once

#include <cstdint>
#include <string>

namespace Blinkwit {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    static Rgb grey(double level);
    // This colour laid over a backdrop at the given opacity.
    Rgb over(Rgb backdrop, double opacity) const;

    bool operator==(const Rgb&) const = default;
};

// How many colours the terminal shows.
enum class ColorDepth { none, basic, palette256, trueColor };

// Colour escape codes for one colour depth.
class TerminalColor {
public:
    TerminalColor() = delete;

    // From the environment: NO_COLOR (any non-empty value) switches colour off, COLORTERM
    // truecolor or 24bit allows 24-bit colour, a TERM naming 256 colours the xterm palette.
    static ColorDepth detect(const char* noColor, const char* colorTerm, const char* term);
    static ColorDepth detectFromEnvironment();

    // Index of the closest colour in the xterm 256-colour palette's cube and grey ramp.
    static int nearest256(Rgb color);
    // Index (0-15) of the closest of the sixteen basic terminal colours.
    static int nearestBasic(Rgb color);

    // SGR parameters ("38;2;0;255;65", "38;5;47", "92") without the escape and the final m;
    // empty for ColorDepth::none.
    static std::string foreground(Rgb color, ColorDepth depth);
    static std::string background(Rgb color, ColorDepth depth);
};

} // namespace Blinkwit
