// Printing a grid of cells inline, the way `cat` prints text: at the cursor,
// row after row, each row ended by a newline, so that the picture scrolls
// with the rest of the output. No alternate screen and no cursor addressing.
//
// The output is UTF-8 (code page 437 shown as Unicode) with SGR colour codes
// in the mode given. It starts by resetting the colours, and every row ends
// with a reset before its newline, so that a scrolling terminal does not
// paint the next line with the last background and nothing is left set at
// the end. A cell that shows only its background (see visibleCell) is
// printed as a space.
//
// The grid: `rows` rows of `columns` cells, row r starting at
// cells[r * pitch]. It is valid when cells is not null (or the grid is
// empty), columns and rows are not negative and pitch >= columns. A grid of
// no columns prints `rows` empty lines.
//
//     std::vector<vantrel::Cell> cells = ...;  // 40 x 12 cells
//     vantrel::printInline(STDOUT_FILENO, cells.data(), 40, 12, 40,
//                          vantrel::colourModeFromEnvironment());
#pragma once

#include <cstddef>
#include <system_error>

#include "vantrel/cell.h"
#include "vantrel/terminal_colours.h"

namespace vantrel {

// The exact length of the grid printed in `mode`; 0 when the grid is invalid.
std::size_t inlineSize(const Cell* cells, int columns, int rows, int pitch, ColourMode mode);

// Writes the grid into `out` and returns its length. Writes nothing and
// returns 0 when the grid is invalid or `capacity` is less than its
// inlineSize: the output is never cut.
std::size_t printInline(const Cell* cells, int columns, int rows, int pitch, ColourMode mode, char* out,
                        std::size_t capacity);

// Writes the grid to the file descriptor `fd` through a fixed buffer,
// continuing partial writes and writes interrupted by a signal, and waiting
// on a non-blocking descriptor until it takes more. Returns the error that
// stopped it (from write(2), or invalid_argument for an invalid grid), or no
// error. As with write(2), a closed pipe raises SIGPIPE unless it is ignored.
std::error_code printInline(int fd, const Cell* cells, int columns, int rows, int pitch, ColourMode mode);

}  // namespace vantrel
