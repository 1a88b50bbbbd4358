// The scalar row kernels of both renderers: the reference for the vector
// kernels, and their tails.
#include "render/convert_kernels.h"
#include "render/glyph_index.h"
#include "render/shade_index.h"

namespace vantrel {

void shadeRow1x1(const Cell* table, const Pixel* src, std::ptrdiff_t, Cell* dst, std::int32_t columns) {
    for (std::int32_t i = 0; i < columns; ++i) dst[i] = table[shadeIndex(pixelWord(src[i]))];
}

void shadeRow2x2(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::int32_t columns) {
    for (std::int32_t i = 0; i < columns; ++i) dst[i] = table[shadeIndex(shadeBlockAverage<2>(src + 2 * i, stride))];
}

void shadeRow4x4(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::int32_t columns) {
    for (std::int32_t i = 0; i < columns; ++i) dst[i] = table[shadeIndex(shadeBlockAverage<4>(src + 4 * i, stride))];
}

void glyphRow1x1(const Cell* table, const Pixel* src, std::ptrdiff_t, Cell* dst, std::int32_t columns) {
    for (std::int32_t i = 0; i < columns; ++i) dst[i] = table[glyphIndex1x1(src + i)];
}

void glyphRow2x2(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::int32_t columns) {
    for (std::int32_t i = 0; i < columns; ++i) dst[i] = table[glyphIndex2x2(src + 2 * i, stride)];
}

void glyphRow4x4(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::int32_t columns) {
    for (std::int32_t i = 0; i < columns; ++i) dst[i] = table[glyphIndex4x4(src + 4 * i, stride)];
}

}  // namespace vantrel
