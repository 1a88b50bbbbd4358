// Pictures of RGB colours in half blocks, two colours to a terminal cell:
// every cell is a MosaicCell showing the upper half block U+2580 in the
// upper colour over the lower colour, printed inline or animated as any
// mosaic (inline_printer.h, mosaic_encoder.h). A cell whose two colours go
// out as the same colour shows as a space in that background.
//
//     std::vector<vantrel::MosaicCell> cells(width * vantrel::halfBlockRows(height));
//     for (int r = 0; 2 * r < height; ++r) {
//         const vantrel::Rgb* upper = picture.data() + 2 * r * width;
//         vantrel::halfBlockRow(mode, upper, 2 * r + 1 < height ? upper + width : upper, width,
//                               cells.data() + r * width);
//     }
//     vantrel::printInline(STDOUT_FILENO, {cells.data(), width, vantrel::halfBlockRows(height), width}, mode);
#pragma once

#include "vantrel/colour_mode.h"
#include "vantrel/mosaic_cell.h"
#include "vantrel/vga_colours.h"

namespace vantrel {

inline constexpr char32_t upperHalfBlock = U'\u2580';

// Terminal rows that `height` rows of colours take: half of them, rounded
// up; 0 for none (or a negative height).
constexpr int halfBlockRows(int height) { return height > 0 ? height / 2 + height % 2 : 0; }

// One row of cells from two rows of `width` colours: cell c shows upper[c]
// over lower[c], each as the mode tells it (nearestColour).
void halfBlockRow(ColourMode mode, const Rgb* upper, const Rgb* lower, int width, MosaicCell* cells);

}  // namespace vantrel
