// The colour a cell shows from a distance: its foreground and background
// colours mixed, as light, in the proportion of the cell its character inks.
#pragma once

#include <cstdint>

#include "vantrel/cell.h"
#include "vantrel/linear_light.h"
#include "vantrel/vga_colours.h"

namespace vantrel {

// The share of the cell that character `code` inks, 0..1: the space 0, the
// shades 176, 177 and 178 a quarter, a half and three quarters, the full
// block 219 all of it, and any other code the share of set pixels in its
// font8x12 glyph (set pixels / 96).
float inkShare(std::uint8_t code);

// The cell's foreground and background VGA colours (vgaColours) mixed in
// linear light, inkShare of the foreground.
LinearRgb seenColourLinear(Cell cell);

// seenColourLinear as 8-bit sRGB.
Rgb seenColour(Cell cell);

}  // namespace vantrel
