// A cell as the screen shows it: its character and the two colours that
// reach the screen, however the terminal was told them. Sixteen of those
// colours are the terminal's own, so they are only known under a palette.
#pragma once

#include "vantrel/cell.h"
#include "vantrel/colour_mode.h"
#include "vantrel/mosaic_cell.h"
#include "vantrel/palette.h"
#include "vantrel/vga_colours.h"

namespace vantrel {

struct ColouredCell {
    char32_t character = U' ';
    Rgb foreground{};
    Rgb background{};
};

// What a terminal whose sixteen colours are `palette` shows for `colour`:
// ANSI colours, and palette indexes below 16, from the palette; the rest of
// the 256 xterm's standard values; truecolor the colour itself.
Rgb paletteColour(TerminalColour colour, const Palette& palette);

// A mosaic cell whose colours were told in `mode`.
ColouredCell colouredCell(const MosaicCell& cell, ColourMode mode, const Palette& palette);

// A console cell printed in `mode`: its code page 437 character as Unicode,
// its console colours as consoleColour tells them.
ColouredCell colouredCell(Cell cell, ColourMode mode, const Palette& palette);

}  // namespace vantrel
