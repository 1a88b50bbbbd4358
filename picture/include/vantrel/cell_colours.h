// The colours cells show on a terminal: the colour a cell's colour value
// stands for in each colour mode under the terminal's palette, the share of
// a cell a character inks, and the seen colour of a cell (its two colours
// mixed as light by that share), for console Cells and mosaic cells alike.
#pragma once

#include <array>
#include <cstdint>

#include "vantrel/cell.h"
#include "vantrel/colour_mode.h"
#include "vantrel/linear_light.h"
#include "vantrel/mosaic_cell.h"
#include "vantrel/palette.h"

namespace vantrel {

// What a terminal shows for a colour value in `mode` (MosaicCell): an ANSI
// colour 0..15 is the palette's, an index 16..255 xterm's standard colour,
// a truecolor value itself.
Rgb shownColour(ColourMode mode, std::uint32_t value, const Palette& palette);

// The share of a cell that `character` inks, 0..1: block elements,
// quadrants, eighths and sextants (2x3, rows of 5, 6 and 5 sixteenths) by
// their geometry, the shades a quarter, a half and three quarters; any other
// character of code page 437 as inkShare (vantrel/seen_colour.h) gives it;
// 0 for the rest.
float characterInkShare(char32_t character);

// A mosaic cell's two colours, as shown, mixed in linear light.
LinearRgb seenColourLinear(const MosaicCell& cell, ColourMode mode, const Palette& palette);

// The sixteen console colours as a terminal in `mode` shows them: at
// sixteen colours the palette's colour of the same name (console colour c
// is ANSI colour consoleColour(ansi16, c)), otherwise the colour
// consoleColour gives. Under the VGA palette these are the VGA colours.
class ConsoleColours {
public:
    ConsoleColours(ColourMode mode, const Palette& palette);

    LinearRgb colour(int console) const { return colours_[static_cast<std::size_t>(console & 15)]; }
    // The cell's foreground and background mixed in linear light, inkShare
    // of the foreground: seenColourLinear (vantrel/seen_colour.h) with these
    // colours.
    LinearRgb seen(Cell cell) const;

private:
    std::array<LinearRgb, 16> colours_{};
    std::array<float, 256> ink_{};
};

}  // namespace vantrel
