#include "vantrel/cell_colours.h"

#include <algorithm>

#include "vantrel/cp437_unicode.h"
#include "vantrel/seen_colour.h"

namespace vantrel {

Rgb shownColour(ColourMode mode, std::uint32_t value, const Palette& palette) {
    if (mode == ColourMode::ansi16) return palette.colours[value & 15];
    return shownColour(TerminalColour{mode, value});
}

namespace {

// The rows of a sextant in sixteenths of the cell's height.
constexpr float sextantRow[3] = {5.0f / 16.0f, 6.0f / 16.0f, 5.0f / 16.0f};

// Quadrants U+2596..U+259F: the quarters each inks (upper left, upper right,
// lower left, lower right).
constexpr int quadrantCount[10] = {1, 1, 1, 3, 2, 3, 3, 1, 2, 3};

}  // namespace

float characterInkShare(char32_t c) {
    if (c == U' ') return 0.0f;
    if (c == U'\u2588') return 1.0f;
    if (c == U'\u2580' || c == U'\u2584' || c == U'\u258C' || c == U'\u2590') return 0.5f;
    if (c >= U'\u2591' && c <= U'\u2593') return 0.25f * static_cast<float>(c - U'\u2590');
    if (c >= U'\u2581' && c <= U'\u2587') return static_cast<float>(c - U'\u2580') / 8.0f;   // lower eighths
    if (c >= U'\u2589' && c <= U'\u258F') return static_cast<float>(U'\u2590' - c) / 8.0f;   // left eighths
    if (c == U'\u2594' || c == U'\u2595') return 1.0f / 8.0f;
    if (c >= U'\u2596' && c <= U'\u259F') return static_cast<float>(quadrantCount[c - U'\u2596']) / 4.0f;
    if (c >= U'\U0001FB00' && c <= U'\U0001FB3B') {
        // The 60 patterns of six cells (bit 0 upper left, bit 1 upper right,
        // then the middle and lower rows) but empty, full and the two halves
        // (21 and 42), in order.
        int pattern = static_cast<int>(c - U'\U0001FB00') + 1;
        if (pattern >= 21) ++pattern;
        if (pattern >= 42) ++pattern;
        float share = 0;
        for (int bit = 0; bit < 6; ++bit) {
            if ((pattern >> bit) & 1) share += sextantRow[bit / 2] / 2.0f;
        }
        return share;
    }
    const auto at = std::find(cp437Unicode.begin(), cp437Unicode.end(), c);
    return at == cp437Unicode.end() ? 0.0f : inkShare(static_cast<std::uint8_t>(at - cp437Unicode.begin()));
}

LinearRgb seenColourLinear(const MosaicCell& cell, ColourMode mode, const Palette& palette) {
    const float ink = characterInkShare(cell.character);
    const LinearRgb fg = toLinear(shownColour(mode, cell.foreground, palette));
    const LinearRgb bg = toLinear(shownColour(mode, cell.background, palette));
    const auto mix = [ink](float f, float b) { return f * ink + b * (1.0f - ink); };
    return {mix(fg.red, bg.red), mix(fg.green, bg.green), mix(fg.blue, bg.blue)};
}

ConsoleColours::ConsoleColours(ColourMode mode, const Palette& palette) {
    for (int c = 0; c < 16; ++c) {
        const TerminalColour shown = consoleColour(mode, c);
        colours_[static_cast<std::size_t>(c)] = toLinear(shownColour(mode, shown.value, palette));
    }
    for (int code = 0; code < 256; ++code) ink_[static_cast<std::size_t>(code)] = inkShare(static_cast<std::uint8_t>(code));
}

LinearRgb ConsoleColours::seen(Cell cell) const {
    const float ink = ink_[cellCharacter(cell)];
    const LinearRgb fg = colour(cellForeground(cell));
    const LinearRgb bg = colour(cellBackground(cell));
    const auto mix = [ink](float f, float b) { return f * ink + b * (1.0f - ink); };
    return {mix(fg.red, bg.red), mix(fg.green, bg.green), mix(fg.blue, bg.blue)};
}

}  // namespace vantrel
