// The shade renderer: each cell shows one of the sixteen console colours as a
// solid block, or two of them mixed through the shade characters 176-178.
//
// Scales: colourToCell takes each channel on the 0..63 scale of the VGA
// colour registers (a Pixel's 0..255 divided by 4). The conversions read
// Pixels, 0..255 per channel, and use the top four bits of red, green and
// blue of each pixel (1x1) or of the block's per-channel average rounded
// down (2x2, 4x4); the fourth byte is never read.
#pragma once

#include <array>
#include <cstdint>

#include "vantrel/cell_converter.h"
#include "vantrel/cell_renderer.h"
#include "vantrel/conversion.h"
#include "vantrel/lookup_table.h"

namespace vantrel {

struct PaletteColour {
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
};

// The console colours on the 0..63 scale of the VGA colour registers. Entry 8
// is far out of range on purpose: no colour is ever matched to dark grey.
extern const std::array<PaletteColour, 16> shadePalette;

class ShadeRenderer : public CellRenderer, public CellConverter {
public:
    static constexpr int tableSize = 4096;

    // Nearest palette colour to (red, green, blue) on the 0..63 scale, then the
    // best shade mix of it with a second colour. Needs no table. A component
    // outside 0..63 counts as the nearer end of that range.
    Cell colourToCell(std::int32_t red, std::int32_t green, std::int32_t blue) const override;
    // Fills the 4096-entry table through the virtual colourToCell; flags are ignored.
    void buildTable(std::int32_t flags) override;
    // Convert into an 80-column cell buffer, unchecked; before the first
    // buildTable they write nothing.
    void convert1x1(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                    std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const override;
    void convert2x2(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                    std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const override;
    void convert4x4(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                    std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const override;

    // The checked conversion (CellConverter).
    using CellConverter::convert;
    bool convert(const PixelImage& image, const SourceRect& rect, BlockSize block, const CellGrid& grid,
                 std::int32_t cellColumn, std::int32_t cellRow) const override;

    // Null until the first buildTable.
    const Cell* tableData() const { return table.data(); }

private:
    LookupTable table;
};

}  // namespace vantrel
