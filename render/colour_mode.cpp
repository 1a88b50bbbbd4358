#include "vantrel/colour_mode.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace vantrel {

ColourMode detectColourMode(const char* colorterm, const char* term) {
    if (colorterm != nullptr && (std::strcmp(colorterm, "truecolor") == 0 || std::strcmp(colorterm, "24bit") == 0)) {
        return ColourMode::truecolor;
    }
    if (term != nullptr && std::strstr(term, "256color") != nullptr) return ColourMode::ansi256;
    return ColourMode::ansi16;
}

ColourMode colourModeFromEnvironment() { return detectColourMode(std::getenv("COLORTERM"), std::getenv("TERM")); }

namespace {

// The levels of xterm's 6x6x6 colour cube (indexes 16..231) and of its 24
// greys (232..255).
constexpr std::array<int, 6> cubeLevels = {0, 95, 135, 175, 215, 255};
constexpr int greyLevel(int k) { return 8 + 10 * k; }

constexpr int weightRed = 3;
constexpr int weightGreen = 4;
constexpr int weightBlue = 2;

constexpr int distance(int r, int g, int b, Rgb c) {
    const int dr = r - c.red;
    const int dg = g - c.green;
    const int db = b - c.blue;
    return weightRed * dr * dr + weightGreen * dg * dg + weightBlue * db * db;
}

// The nearest cube level of each channel value (the lower on a tie): the
// weights do not couple the channels, so the nearest cube colour is made of
// the nearest level of each.
constexpr std::array<std::uint8_t, 256> nearestCubeLevel = [] {
    std::array<std::uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v) {
        // std::abs is not constexpr before C++23 (clang refuses it here).
        const auto distance = [v](int level) { return v > level ? v - level : level - v; };
        int best = 0;
        for (int k = 1; k < 6; ++k) {
            if (distance(cubeLevels[k]) < distance(cubeLevels[best])) best = k;
        }
        table[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(best);
    }
    return table;
}();

// A console colour index has blue in bit 0 and red in bit 2; ANSI orders red,
// green, blue the other way round. Bit 3 (bright) is kept.
constexpr int ansiColour(int console) {
    return ((console & 1) << 2) | (console & 2) | ((console & 4) >> 2) | (console & 8);
}

int nearestVga(Rgb c) {
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < 16; ++i) {
        const Rgb& v = vgaColours[static_cast<std::size_t>(i)];
        const int d = distance(v.red, v.green, v.blue, c);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

int nearestXterm(Rgb c) {
    const int r = nearestCubeLevel[c.red];
    const int g = nearestCubeLevel[c.green];
    const int b = nearestCubeLevel[c.blue];
    const int cube = 16 + 36 * r + 6 * g + b;
    const int cubeDistance = distance(cubeLevels[static_cast<std::size_t>(r)], cubeLevels[static_cast<std::size_t>(g)],
                                      cubeLevels[static_cast<std::size_t>(b)], c);
    // The distance to a grey level y is W (y - m)^2 plus a constant, with W
    // the weights' sum and m the weighted mean: the nearest grey is the level
    // nearest m, the lower on a tie. With s = W m = 9 m, the tie between
    // levels k and k + 1 is at m = 13 + 10 k, s = 117 + 90 k; so k is
    // (s - 117) / 90 rounded up, which is (s - 28) / 90 rounded down.
    constexpr int weights = weightRed + weightGreen + weightBlue;
    static_assert(weights == 9);
    const int s = weightRed * c.red + weightGreen * c.green + weightBlue * c.blue;
    const int k = s < 28 ? 0 : std::min((s - 28) / 90, 23);
    const int y = greyLevel(k);
    return distance(y, y, y, c) < cubeDistance ? 232 + k : cube;
}

std::uint32_t rgbValue(Rgb c) {
    return (static_cast<std::uint32_t>(c.red) << 16) | (static_cast<std::uint32_t>(c.green) << 8) | c.blue;
}

}  // namespace

TerminalColour consoleColour(ColourMode mode, int colour) {
    const int console = colour & 15;
    switch (mode) {
        case ColourMode::ansi16:
            return {mode, static_cast<std::uint32_t>(ansiColour(console))};
        case ColourMode::ansi256: {
            static const std::array<std::uint8_t, 16> nearest = [] {
                std::array<std::uint8_t, 16> table{};
                for (std::size_t i = 0; i < 16; ++i) table[i] = static_cast<std::uint8_t>(nearestXterm(vgaColours[i]));
                return table;
            }();
            return {mode, nearest[static_cast<std::size_t>(console)]};
        }
        case ColourMode::truecolor:
            break;
    }
    return {ColourMode::truecolor, rgbValue(vgaColours[static_cast<std::size_t>(console)])};
}

TerminalColour nearestColour(ColourMode mode, Rgb colour) {
    switch (mode) {
        case ColourMode::ansi16:
            return {mode, static_cast<std::uint32_t>(ansiColour(nearestVga(colour)))};
        case ColourMode::ansi256:
            return {mode, static_cast<std::uint32_t>(nearestXterm(colour))};
        case ColourMode::truecolor:
            break;
    }
    return {ColourMode::truecolor, rgbValue(colour)};
}

Rgb shownColour(TerminalColour colour) {
    const auto channel = [](int v) { return static_cast<std::uint8_t>(v); };
    switch (colour.mode) {
        case ColourMode::ansi16:
            // ANSI and console colours swap bits 0 and 2 both ways.
            return vgaColours[static_cast<std::size_t>(ansiColour(static_cast<int>(colour.value & 15)))];
        case ColourMode::ansi256: {
            const int index = static_cast<int>(colour.value & 255);
            if (index < 16) return vgaColours[static_cast<std::size_t>(ansiColour(index))];
            if (index >= 232)
                return {channel(greyLevel(index - 232)), channel(greyLevel(index - 232)),
                        channel(greyLevel(index - 232))};
            const int cube = index - 16;
            return {channel(cubeLevels[static_cast<std::size_t>(cube / 36)]),
                    channel(cubeLevels[static_cast<std::size_t>(cube / 6 % 6)]),
                    channel(cubeLevels[static_cast<std::size_t>(cube % 6)])};
        }
        case ColourMode::truecolor:
            break;
    }
    return {channel((colour.value >> 16) & 255), channel((colour.value >> 8) & 255), channel(colour.value & 255)};
}

}  // namespace vantrel
