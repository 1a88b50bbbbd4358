// The interface every renderer implements: pixels in, console cells out,
// every decision taken once when the lookup table is built.
#pragma once

#include <cstdint>

#include "vantrel/cell.h"
#include "vantrel/pixel.h"

namespace vantrel {

class CellRenderer {
public:
    CellRenderer() = default;
    CellRenderer(const CellRenderer&) = delete;
    CellRenderer& operator=(const CellRenderer&) = delete;

    // One colour to one cell; the scale of the components is the renderer's.
    virtual Cell colourToCell(std::int32_t red, std::int32_t green, std::int32_t blue) const = 0;
    // Builds (or rebuilds) the lookup table.
    virtual void buildTable(std::int32_t flags) = 0;
    // Convert the blocks of `rect` (1x1, 2x2 or 4x4 pixels each) into cells
    // starting at (cellColumn, cellRow) of an 80-column cell buffer. Nothing
    // is checked: the caller keeps the rectangle inside the pixels and the
    // cells inside the buffer. An empty or inverted rectangle, or one wider or
    // taller than 2^31 - 1 pixels, writes nothing; so does a conversion before
    // the table is built. For buffers of other sizes, checked, see
    // CellConverter (vantrel/cell_converter.h).
    virtual void convert1x1(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                            std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const = 0;
    virtual void convert2x2(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                            std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const = 0;
    virtual void convert4x4(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                            std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const = 0;
    virtual ~CellRenderer();
};

}  // namespace vantrel
