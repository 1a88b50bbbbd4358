#include "vantrel/glyph_renderer.h"

#include <algorithm>

#include "render/convert_kernels.h"
#include "render/glyph_search.h"

namespace vantrel {

Cell GlyphRenderer::colourToCell(std::int32_t, std::int32_t green, std::int32_t) const {
    if (!table) return blankCell;
    // Clamped first, so no green value can index outside the table.
    const std::int32_t level = std::clamp<std::int32_t>(green, 0, 255) >> 4;
    return table.data()[level * 0x1111];
}

void GlyphRenderer::buildTable(std::int32_t flags) {
    // The old table goes before the new one is allocated, so two never coexist.
    buildGlyphTable(fastestGlyphSearch(), flags, table.allocate(tableSize));
}

void GlyphRenderer::convert1x1(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                               std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const {
    convertFixed(glyphKernels(), 1, table.data(), pixels, rect, stride, cellColumn, cellRow, cells);
}

void GlyphRenderer::convert2x2(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                               std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const {
    convertFixed(glyphKernels(), 2, table.data(), pixels, rect, stride, cellColumn, cellRow, cells);
}

void GlyphRenderer::convert4x4(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                               std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const {
    convertFixed(glyphKernels(), 4, table.data(), pixels, rect, stride, cellColumn, cellRow, cells);
}

bool GlyphRenderer::convert(const PixelImage& image, const SourceRect& rect, BlockSize block, const CellGrid& grid,
                            std::int32_t cellColumn, std::int32_t cellRow) const {
    return convertChecked(glyphKernels(), table.data(), image, rect, block, grid, cellColumn, cellRow);
}

}  // namespace vantrel
