// The one interface the picture path drives: a renderer that turns a grid of
// samples in linear light (a few a cell) into a grid of mosaic cells, a
// character and two colours each, in its colour mode. The shade, glyph and
// half-block renderers implement it (vantrel/picture_renderers.h), and so can
// any other; PictureConverter (vantrel/picture_converter.h) holds one and
// never asks which it is.
#pragma once

#include <cstdint>

#include "vantrel/colour_mode.h"
#include "vantrel/linear_image.h"
#include "vantrel/mosaic_grid.h"

namespace vantrel {

// Samples a renderer reads for each cell, across and down.
struct SamplesPerCell {
    std::int32_t across = 1;
    std::int32_t down = 1;
};

class PictureRenderer {
public:
    PictureRenderer() = default;
    PictureRenderer(const PictureRenderer&) = delete;
    PictureRenderer& operator=(const PictureRenderer&) = delete;
    virtual ~PictureRenderer();

    virtual SamplesPerCell samplesPerCell() const = 0;
    // The mode the cells' colours are given in (MosaicCell).
    virtual ColourMode colourMode() const = 0;

    // Writes every cell of `cells` from `samples`, which must hold exactly
    // cells.width * across by cells.height * down samples. Returns false,
    // writing nothing, when either view is invalid or the sizes do not
    // match. Allocates only when the grid's size differs from the last one.
    virtual bool render(const LinearImage& samples, const MosaicGrid& cells) = 0;
    // Whether each row of cells depends on its own samples only (no error
    // carried from row to row, no scratch space sized by the grid's
    // height): then rendering a grid a band of rows at a time gives the same
    // cells, and PictureConverter does so to keep its samples small.
    virtual bool independentRows() const { return false; }
};

}  // namespace vantrel
