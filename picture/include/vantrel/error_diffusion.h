// Error diffusion for the cell renderers: cells are decided one at a time,
// in serpentine order, and each cell's error, the light its pixels asked for
// less the seen colour of the cell they became (ConsoleColours::seen, in
// the colours the terminal shows; vantrel/cell_colours.h), is
// carried to the cells not yet decided around it (Floyd and Steinberg's
// shares: 7/16 ahead, 3/16, 5/16 and 1/16 on the next row), spread evenly
// over their pixels. All of it in linear light.
//
// Half of each error is carried (carriedShare): carrying all of it brings
// the 2x2-cell blocks nearest the picture but sprinkles every cell with
// noise; half keeps most of the first and little of the second (measured
// with vantrel-quality on photographs and drawn pictures).
#pragma once

#include <functional>
#include <vector>

#include "vantrel/cell_colours.h"
#include "vantrel/conversion.h"
#include "vantrel/linear_light.h"

namespace vantrel {

class ErrorDiffusion {
public:
    static constexpr float carriedShare = 0.5f;

    // How the cell renderer is driven: `decide` turns one block of pixels
    // into a cell; in `grey` mode only green counts (the glyph renderer),
    // the light wanted is the pixels' linear value times `greyScale` (the
    // brightest the renderer shows), and a pixel is handed over with its
    // green byte proportional to the light wanted (the glyph table maps
    // bytes to ink linearly). Otherwise pixels are handed over in sRGB.
    // A cell's seen colour is taken with `colours`, the console colours as
    // the terminal shows them.
    using Decide = std::function<Cell(const PixelImage& block)>;
    ErrorDiffusion(Decide decide, const ConsoleColours& colours, bool grey, float greyScale);

    // Sizes the scratch space: the only allocation, when the size changes.
    void setSize(int columns, int rows, BlockSize block);

    // `samples`: columns * block x rows * block pixels (sRGB), rows `stride`
    // apart. Writes columns x rows cells, row r at cells[r * columns].
    void convert(const Pixel* samples, int stride, Cell* cells);

private:
    Decide decide_;
    ConsoleColours colours_;
    bool grey_;
    float greyScale_;
    int columns_ = 0;
    int rows_ = 0;
    int block_ = 1;
    std::vector<LinearRgb> errorRows_;  // two rows of columns + 2 (a margin each side)
    std::vector<LinearRgb> wanted_;     // one block, linear
    std::vector<Pixel> handed_;         // one block, as handed to decide
};

}  // namespace vantrel
