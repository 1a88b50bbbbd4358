// What a picture becomes on the terminal: cells of a renderer, or for the
// blocks renderer two colours a cell (the upper half block U+2580 in the
// top colour over the bottom colour).
#pragma once

#include <vector>

#include "vantrel/cell.h"
#include "vantrel/half_blocks.h"
#include "vantrel/mosaic_cell.h"
#include "vantrel/terminal_colours.h"
#include "vantrel/vga_colours.h"
#include "tools/view/view_options.h"

namespace vantrel {

struct ShownPicture {
    RendererKind renderer = RendererKind::shade;
    int columns = 0;
    int rows = 0;
    std::vector<Cell> cells;  // shade, glyph: rows x columns, row-major
    // blocks: 2 * rows x columns colours; row 2r holds the top halves of
    // cell row r, row 2r + 1 the bottom halves.
    std::vector<Rgb> halves;
};

// The colour a terminal in `mode` shows for a half block's colour.
inline Rgb shownHalf(ColourMode mode, Rgb colour) { return shownColour(nearestColour(mode, colour)); }

}  // namespace vantrel

namespace vantrel {

// The blocks renderer's picture as columns x rows mosaic cells in `mode`
// (resizing `cells`, which allocates only when it grows).
inline void halfBlockCells(const ShownPicture& shown, ColourMode mode, std::vector<MosaicCell>& cells) {
    const auto columns = static_cast<std::size_t>(shown.columns);
    cells.resize(columns * static_cast<std::size_t>(shown.rows));
    for (std::size_t r = 0; r < static_cast<std::size_t>(shown.rows); ++r) {
        const Rgb* upper = shown.halves.data() + 2 * r * columns;
        halfBlockRow(mode, upper, upper + columns, shown.columns, cells.data() + r * columns);
    }
}

}  // namespace vantrel
