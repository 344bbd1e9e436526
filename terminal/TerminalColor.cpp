#include "TerminalColor.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace Blinkwit {

namespace {

constexpr std::array<int, 6> cubeLevels{0, 95, 135, 175, 215, 255};

// xterm's defaults for the sixteen basic colours.
constexpr std::array<Rgb, 16> basicColors{{
    {0, 0, 0},
    {205, 0, 0},
    {0, 205, 0},
    {205, 205, 0},
    {0, 0, 238},
    {205, 0, 205},
    {0, 205, 205},
    {229, 229, 229},
    {127, 127, 127},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {92, 92, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

int distance(Rgb a, Rgb b) {
    const int red = a.red - b.red;
    const int green = a.green - b.green;
    const int blue = a.blue - b.blue;
    return red * red + green * green + blue * blue;
}

int nearestCubeLevel(int value) {
    int best = 0;
    for (int i = 1; i < int(cubeLevels.size()); ++i)
        if (std::abs(cubeLevels[i] - value) < std::abs(cubeLevels[best] - value))
            best = i;
    return best;
}

std::uint8_t channel(double value) {
    return std::uint8_t(std::lround(std::clamp(value, 0.0, 255.0)));
}

std::string colorParameters(Rgb color, ColorDepth depth, bool background) {
    const std::string lead = background ? "48" : "38";
    switch (depth) {
    case ColorDepth::none:
        return {};
    case ColorDepth::trueColor:
        return lead + ";2;" + std::to_string(color.red) + ";" + std::to_string(color.green) + ";" +
               std::to_string(color.blue);
    case ColorDepth::palette256:
        return lead + ";5;" + std::to_string(TerminalColor::nearest256(color));
    case ColorDepth::basic:
        break;
    }
    const int index = TerminalColor::nearestBasic(color);
    const int base = index < 8 ? (background ? 40 : 30) : (background ? 100 : 90);
    return std::to_string(base + index % 8);
}

} // namespace

Rgb Rgb::grey(double level) {
    const std::uint8_t value = channel(level * 255.0);
    return {value, value, value};
}

Rgb Rgb::over(Rgb backdrop, double opacity) const {
    const auto mix = [opacity](int top, int bottom) {
        return channel(top * opacity + bottom * (1.0 - opacity));
    };
    return {mix(red, backdrop.red), mix(green, backdrop.green), mix(blue, backdrop.blue)};
}

ColorDepth TerminalColor::detect(const char* noColor, const char* colorTerm, const char* term) {
    if (noColor != nullptr && *noColor != '\0')
        return ColorDepth::none;
    const std::string_view colors = colorTerm == nullptr ? "" : colorTerm;
    if (colors == "truecolor" || colors == "24bit")
        return ColorDepth::trueColor;
    const std::string_view terminal = term == nullptr ? "" : term;
    if (terminal.find("256color") != std::string_view::npos)
        return ColorDepth::palette256;
    return ColorDepth::basic;
}

ColorDepth TerminalColor::detectFromEnvironment() {
    return detect(std::getenv("NO_COLOR"), std::getenv("COLORTERM"), std::getenv("TERM"));
}

int TerminalColor::nearest256(Rgb color) {
    const int r = nearestCubeLevel(color.red);
    const int g = nearestCubeLevel(color.green);
    const int b = nearestCubeLevel(color.blue);
    const Rgb cube{std::uint8_t(cubeLevels[r]), std::uint8_t(cubeLevels[g]),
                   std::uint8_t(cubeLevels[b])};
    const int average = (color.red + color.green + color.blue) / 3;
    const int step = std::clamp((average - 3) / 10, 0, 23);
    const Rgb grey = Rgb::grey((8 + 10 * step) / 255.0);
    if (distance(grey, color) < distance(cube, color))
        return 232 + step;
    return 16 + 36 * r + 6 * g + b;
}

int TerminalColor::nearestBasic(Rgb color) {
    int best = 0;
    for (int i = 1; i < int(basicColors.size()); ++i)
        if (distance(basicColors[i], color) < distance(basicColors[best], color))
            best = i;
    return best;
}

std::string TerminalColor::foreground(Rgb color, ColorDepth depth) {
    return colorParameters(color, depth, false);
}

std::string TerminalColor::background(Rgb color, ColorDepth depth) {
    return colorParameters(color, depth, true);
}

} // namespace Blinkwit
