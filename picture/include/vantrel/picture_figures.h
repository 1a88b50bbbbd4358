// How faithfully a grid of cells shows a picture, in four figures: two from
// each cell's colour as seen from afar, two from the cells drawn as pixels
// and seen as the eye sees them at a viewing distance.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/coloured_cell.h"

namespace vantrel {

struct PictureFigures {
    // Each cell's seen colour (its two colours mixed in linear light by the
    // share of the cell its character covers, characterCoverage) against the
    // picture area-averaged in linear light onto the grid: the mean
    // CIEDE2000 over the cells.
    double cellError = 0;
    // The same after averaging both grids over blocks of 2x2 cells (an odd
    // last row or column left out): whether the errors cancel nearby. A
    // grid of one row or one column has no such block: there it is cellError.
    double blockError = 0;
    // The cells drawn at 8x16 pixels each (drawCharacter) in linear light,
    // against the picture area-averaged onto the same pixels: both through
    // S-CIELAB at 40 pixels per degree (8-pixel-wide cells on a ~100 dpi
    // screen seen from ~60 cm), the mean CIEDE2000 per pixel.
    double scielab = 0;
    // The SSIM of the two filtered lightness planes (L* / 100): 1 when every
    // edge and shape is where it should be, whatever its colour.
    double structure = 0;
    // How many cells hold a character drawCharacter cannot draw: they count
    // as blank, in their background colour.
    std::int64_t undrawnCells = 0;
};

// The most cells measurePicture takes (256 x 128; drawn, 4 million pixels).
inline constexpr std::int64_t maxMeasuredCells = std::int64_t{1} << 15;

// The picture, width x height sRGB pixels of 3 bytes (red, green, blue),
// rows rowBytes apart, is stretched over the grid of columns x rows cells,
// row-major. Returns false, leaving `figures` alone, when a size is below 1,
// a pointer is null, rowBytes < 3 * width, or there are more than
// maxMeasuredCells cells.
bool measurePicture(const std::uint8_t* rgb, int width, int height, std::ptrdiff_t rowBytes,
                    const ColouredCell* cells, int columns, int rows, PictureFigures& figures);

}  // namespace vantrel
