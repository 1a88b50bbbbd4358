// The checked conversion every cell renderer offers: the caller's pixels
// into the caller's grid of cells, each buffer with its own size, refused
// (false, nothing written) when they do not fit. Beside CellRenderer, whose
// five operations stay exactly as they are.
#pragma once

#include <cstdint>

#include "vantrel/conversion.h"

namespace vantrel {

class CellConverter {
public:
    // The whole blocks of `rect` of `image` become cells of `grid`, the
    // first at (cellColumn, cellRow). Returns false and writes nothing
    // before the renderer's table is built or when conversionFits does not
    // hold.
    virtual bool convert(const PixelImage& image, const SourceRect& rect, BlockSize block, const CellGrid& grid,
                         std::int32_t cellColumn, std::int32_t cellRow) const = 0;
    // The whole image into the grid, its first cell at (0, 0).
    bool convert(const PixelImage& image, BlockSize block, const CellGrid& grid) const {
        return convert(image, wholeImage(image), block, grid, 0, 0);
    }

protected:
    CellConverter() = default;
    CellConverter(const CellConverter&) = default;
    CellConverter& operator=(const CellConverter&) = default;
    ~CellConverter() = default;
};

}  // namespace vantrel
