// Printing a grid of cells inline, the way `cat` prints text: at the cursor,
// row after row, each row ended by a newline, so that the picture scrolls
// with the rest of the output. No alternate screen and no cursor addressing.
//
// The grid is console cells (code page 437 shown as Unicode, in the sixteen
// console colours as the mode gives them) or mosaic cells (any character in
// two colours that are values in the mode, vantrel/mosaic_encoder.h says
// how they show). The output is UTF-8 with SGR colour codes in the mode
// given. It starts by resetting the colours, and every row ends with a
// reset before its newline, so that a scrolling terminal does not paint the
// next line with the last background and nothing is left set at the end. A
// cell that shows only its background is printed as a space.
//
// A grid of no columns prints `height` empty lines; an invalid view
// (CellView::valid) prints nothing.
//
//     std::vector<vantrel::Cell> cells = ...;  // 40 x 12 cells
//     vantrel::printInline(STDOUT_FILENO, vantrel::CellView<vantrel::Cell>{cells.data(), 40, 12, 40},
//                          vantrel::colourModeFromEnvironment());
#pragma once

#include <cstddef>
#include <system_error>

#include "vantrel/cell.h"
#include "vantrel/cell_view.h"
#include "vantrel/colour_mode.h"
#include "vantrel/mosaic_cell.h"

namespace vantrel {

// The exact length of the grid printed in `mode`; 0 when the view is invalid.
std::size_t inlineSize(CellView<Cell> grid, ColourMode mode);
std::size_t inlineSize(CellView<MosaicCell> grid, ColourMode mode);

// Writes the grid into `out` and returns its length. Writes nothing and
// returns 0 when the view is invalid or `capacity` is less than its
// inlineSize: the output is never cut.
std::size_t printInline(CellView<Cell> grid, ColourMode mode, char* out, std::size_t capacity);
std::size_t printInline(CellView<MosaicCell> grid, ColourMode mode, char* out, std::size_t capacity);

// Writes the grid to the file descriptor `fd` through a fixed buffer,
// continuing partial writes and writes interrupted by a signal, and waiting
// on a non-blocking descriptor until it takes more. Returns the error that
// stopped it (from write(2), or invalid_argument for an invalid view), or no
// error. As with write(2), a closed pipe raises SIGPIPE unless it is ignored.
std::error_code printInline(int fd, CellView<Cell> grid, ColourMode mode);
std::error_code printInline(int fd, CellView<MosaicCell> grid, ColourMode mode);

}  // namespace vantrel
