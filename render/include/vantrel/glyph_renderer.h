// The glyph renderer: shows brightness by shape. Each cell becomes the
// character of font8x12 whose ink, counted per quadrant, best matches the
// brightness of the block's four quadrants, light grey on black.
//
// Scale: brightness is the green byte of a Pixel alone, 0..255, of which the
// top four bits count; red, blue and the fourth byte are never read. To show
// a colour picture, put its luma into green first (lumaToGreen, vantrel/luma.h).
// colourToCell likewise reads only green, on the same 0..255 scale (not the
// 0..63 scale of the shade renderer's colourToCell).
#pragma once

#include <cstdint>

#include "vantrel/cell_converter.h"
#include "vantrel/cell_renderer.h"
#include "vantrel/conversion.h"
#include "vantrel/lookup_table.h"

namespace vantrel {

class GlyphRenderer : public CellRenderer, public CellConverter {
public:
    static constexpr int tableSize = 65536;
    // What colourToCell answers before the table exists: a space, light grey
    // on black, the cell the printable-only table holds for darkness.
    static constexpr Cell blankCell = 0x0720;
    // buildTable's flags: the control codes 0..31 stay out (32..255), or only
    // printable ASCII may appear (32..126, whatever bit 0 says).
    static constexpr std::int32_t noControlCodes = 0x1;
    static constexpr std::int32_t printableAscii = 0x2;

    // The entry whose four quadrants all sit at the level of `green` (0..255,
    // clamped into that range); red and blue are ignored. blankCell before
    // the first buildTable.
    Cell colourToCell(std::int32_t red, std::int32_t green, std::int32_t blue) const override;
    // Builds the 65536-entry table. Bits 0 and 1 of `flags` choose the codes
    // that may appear: neither 0..255, bit 0 alone 32..255, bit 1 32..126.
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
