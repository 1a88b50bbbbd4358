// The colours console cells show on a terminal in each colour mode, under
// the terminal's palette, and the seen colour of a console cell there: what
// the shade renderer chooses its cells by and carries its error with. (For
// any cell, see colouredCell, vantrel/coloured_cell.h.)
#pragma once

#include <array>
#include <cstdint>

#include "vantrel/cell.h"
#include "vantrel/colour_mode.h"
#include "vantrel/linear_light.h"
#include "vantrel/palette.h"

namespace vantrel {

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
