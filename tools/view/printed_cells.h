// A program's printed output read back as the grid of cells a terminal
// shows for it: UTF-8 text with SGR colours, as picture tools print
// pictures. For judging such output against the picture.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vantrel/coloured_cell.h"
#include "vantrel/palette.h"

namespace vantrel {

struct PrintedCells {
    int columns = 0;
    int rows = 0;
    std::vector<ColouredCell> cells;  // rows x columns, row-major
    // The final bytes of the cursor and erase sequences that were ignored
    // (each once, in the order met): such output is no plain grid.
    std::string ignoredSequences;
};

// The most cells either way.
inline constexpr int maxPrintedSide = 1000;

// Reads `text` as a terminal of unlimited size would, from its top-left
// corner, with the sixteen colours of `palette`:
// - printable characters fill cells left to right; a line feed starts the
//   next row, a carriage return goes back to the first column, a tab to the
//   next multiple of 8; other control characters are ignored; bytes that are
//   not UTF-8 are read as U+FFFD;
// - SGR: 0 resets; 1 and 22 bold on and off (a foreground set by 30-37 is
//   shown as its bright colour while bold, as many terminals do); 7 and 27
//   reverse; 30-37, 90-97, 39 and 40-47, 100-107, 49 the sixteen colours and
//   the defaults; 38;5;n and 48;5;n the 256 colours (0-15 from the palette,
//   then xterm's cube and greys); 38;2;r;g;b and 48;2;r;g;b 24-bit colours
//   (a level above 255 is 255); colons separate like semicolons; other codes
//   are ignored, and a 38 or 48 it cannot read ends the sequence;
// - CSI n b repeats the last printed character n times, CSI n C moves n
//   columns right; other CSI, OSC, DCS, SOS, PM, APC and two-character
//   escape sequences are skipped;
// - the default colours are colour 7 on colour 0; cells never written are
//   spaces in them; trailing empty rows are dropped and every row is padded
//   to the widest.
// Returns an empty string, or why the text is no grid (no cells, or more
// than maxPrintedSide of them either way); `out` is then left alone.
std::string readPrintedCells(std::string_view text, const Palette& palette, PrintedCells& out);

}  // namespace vantrel
