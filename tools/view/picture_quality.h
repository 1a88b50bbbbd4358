// How faithfully cells show a picture. Each cell's seen colour (its
// foreground and background, as the terminal shows them under its palette,
// mixed in linear light by the share of the cell its character inks) is
// compared with the picture area-averaged in linear
// light onto the same grid, by CIEDE2000.
#pragma once

#include <vector>

#include "vantrel/linear_light.h"
#include "vantrel/palette.h"
#include "tools/view/view_picture.h"

namespace vantrel {

struct QualityFigures {
    double cellError = 0;     // mean over the cells
    double blurredError = 0;  // mean over 2x2-cell blocks, both grids averaged over each block first
};

// The seen colour of every cell of `shown`, row-major.
std::vector<LinearRgb> seenColours(const ShownPicture& shown, const Palette& palette);

// Compares two grids of columns x rows colours, row-major.
QualityFigures compareGrids(const std::vector<LinearRgb>& seen, const std::vector<LinearRgb>& reference, int columns,
                            int rows);

}  // namespace vantrel
