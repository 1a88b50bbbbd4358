// The glyph renderer: shows brightness by shape. Each cell becomes the
// character of font8x12 whose ink, counted per quadrant, best matches the
// brightness of the block's four quadrants, light grey on black.
#pragma once

#include <cstdint>
#include <memory>

#include "vantrel/cell_renderer.h"

namespace vantrel {

class GlyphRenderer : public CellRenderer {
public:
    static constexpr int tableSize = 65536;
    // What colourToCell answers before the table exists: a space, light grey
    // on black, the cell the printable-only table holds for darkness.
    static constexpr Cell blankCell = 0x0720;

    // The entry whose four quadrants all sit at the level of `green` (0..255,
    // clamped into that range); red and blue are ignored. blankCell before
    // the first buildTable.
    Cell colourToCell(std::int32_t red, std::int32_t green, std::int32_t blue) const override;
    // Builds the 65536-entry table. Bits 0 and 1 of `flags` choose the codes
    // that may appear: neither 0..255, bit 0 alone 32..255, bit 1 32..126.
    void buildTable(std::int32_t flags) override;
    // Before the first buildTable these write nothing.
    void convert1x1(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                    std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const override;
    void convert2x2(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                    std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const override;
    void convert4x4(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                    std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const override;

    // Null until the first buildTable.
    const Cell* tableData() const { return table.get(); }

private:
    std::unique_ptr<Cell[]> table;
};

}  // namespace vantrel
