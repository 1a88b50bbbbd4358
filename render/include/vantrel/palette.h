// The sixteen colours a terminal shows for the ANSI colours 0..15, in ANSI
// order: black, red, green, yellow, blue, magenta, cyan, white, then the
// bright ones. Terminals differ here; pictures at sixteen colours are only
// as right as the palette they assume.
#pragma once

#include <array>
#include <string_view>

#include "vantrel/vga_colours.h"

namespace vantrel {

struct Palette {
    std::array<Rgb, 16> colours{};
};

// A VGA console's colours in ANSI order (vgaColours is in console order).
Palette vgaPalette();
// xterm's defaults.
Palette xtermPalette();
// Windows Terminal and the Windows 10 console ("Campbell").
Palette campbellPalette();

// "vga", "xterm", "campbell", or sixteen RRGGBB hex colours separated by
// commas, each with or without a leading '#'. False (and `palette`
// unchanged) for anything else.
bool parsePalette(std::string_view text, Palette& palette);

}  // namespace vantrel
