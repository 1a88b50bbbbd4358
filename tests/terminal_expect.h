// What a terminal should show for console cells, worked out here
// independently of the library: the test oracle for colours and glyphs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tests/vterm_screen.h"
#include "vantrel/cell.h"
#include "vantrel/frame_layout.h"
#include "vantrel/mosaic_cell.h"
#include "vantrel/terminal_colours.h"
#include "vantrel/vga_colours.h"

// xterm's palette entry 16..255: the 6x6x6 cube, then the 24 greys.
std::uint32_t xtermRgb(int index);

// The colour (index or 0xRRGGBB, as EmulatedCell keeps it) that a console
// colour 0..15 must arrive as in `mode`, and whether it is an index.
std::uint32_t expectedColour(int consoleColour, vantrel::ColourMode mode, bool& indexed);

// Nearest entry by brute force, with the weights 3, 4, 2 and the lower index
// winning a tie: of the 16 VGA colours (a console colour) or of palette
// entries 16..255.
int bruteNearestVga(std::uint32_t rgb);
int bruteNearestXterm(std::uint32_t rgb);

// Empty when the emulated cell shows `cell` (its glyph, and its colours as
// `mode` gives them; a blank cell shows a space in its background),
// otherwise what is wrong.
std::string cellProblem(const EmulatedCell& e, vantrel::Cell cell, vantrel::ColourMode mode);

// Empty when the emulated cell shows two colours in half blocks, otherwise
// what is wrong: U+2580 with `upper` as the foreground over `lower` (the
// default background when null), or a space in the background when both
// arrive as the same colour. A colour arrives as itself in truecolor, else
// as the brute-force nearest palette entry.
std::string halfBlockProblem(const EmulatedCell& e, vantrel::Rgb upper, const vantrel::Rgb* lower,
                             vantrel::ColourMode mode);

// Empty when the emulated cell shows the mosaic cell, otherwise what is
// wrong: its colours cut to the mode (4, 8 or 24 bits), arriving as palette
// indexes or (truecolor) RGB; a space, or a character in its own
// background colour, as a space in the background; a control character,
// surrogate or value past U+10FFFF as U+FFFD.
std::string mosaicProblem(const EmulatedCell& e, vantrel::MosaicCell cell, vantrel::ColourMode mode);

// Checks every cell of an emulated terminal that shows a frame where the
// layout puts it: frame cell (column, row) by `problem` (empty when right),
// every other cell blank in the default colours. Adds a test failure for
// each of the first few wrong cells and returns how many there are.
int layoutMismatches(const EmulatedTerminal& term, const vantrel::FrameLayout& layout,
                     const std::function<std::string(const EmulatedCell&, int column, int row)>& problem);
