#include "vantrel/glyph_renderer.h"

#include <algorithm>

#include "render/convert_blocks.h"
#include "render/glyph_index.h"
#include "render/glyph_search.h"

namespace vantrel {

Cell GlyphRenderer::colourToCell(std::int32_t, std::int32_t green, std::int32_t) const {
    if (!table) return blankCell;
    // Clamped first, so no green value can index outside the table.
    const std::int32_t level = std::clamp<std::int32_t>(green, 0, 255) >> 4;
    return table[level * 0x1111];
}

void GlyphRenderer::buildTable(std::int32_t flags) {
    // The old table goes before the new one is allocated, so two never coexist.
    table.reset();
    table = std::make_unique_for_overwrite<Cell[]>(tableSize);
    buildGlyphTable(fastestGlyphSearch(), flags, table.get());
}

void GlyphRenderer::convert1x1(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                               std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const {
    if (!table) return;
    const Cell* t = table.get();
    convertBlocks<1>(pixels, rect, stride, cellColumn, cellRow, cells,
                     [t](const Pixel* p) { return t[glyphIndex1x1(p)]; });
}

void GlyphRenderer::convert2x2(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                               std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const {
    if (!table) return;
    const Cell* t = table.get();
    convertBlocks<2>(pixels, rect, stride, cellColumn, cellRow, cells,
                     [t, stride](const Pixel* p) { return t[glyphIndex2x2(p, stride)]; });
}

void GlyphRenderer::convert4x4(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                               std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const {
    if (!table) return;
    const Cell* t = table.get();
    convertBlocks<4>(pixels, rect, stride, cellColumn, cellRow, cells,
                     [t, stride](const Pixel* p) { return t[glyphIndex4x4(p, stride)]; });
}

}  // namespace vantrel
