// The scalar kernels of both renderers: the reference for the vector kernels,
// and their rows too short for a vector.
#include "render/convert_kernels.h"
#include "render/glyph_index.h"
#include "render/shade_index.h"

namespace vantrel {

namespace {

// Every block of the rectangle through blockIndex(top-left pixel, stride).
template <int K, class BlockIndex>
inline void convertEach(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                        std::int32_t columns, std::int32_t rows, BlockIndex blockIndex) {
    for (std::int32_t j = 0; j < rows; ++j) {
        const Pixel* row = src + j * K * stride;
        Cell* cells = dst + j * pitch;
        for (std::int32_t i = 0; i < columns; ++i) cells[i] = table[blockIndex(row + K * i, stride)];
    }
}

}  // namespace

void shadeBlocks1x1(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows) {
    convertEach<1>(table, src, stride, dst, pitch, columns, rows,
                   [](const Pixel* p, std::ptrdiff_t) { return shadeIndex(pixelWord(*p)); });
}

void shadeBlocks2x2(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows) {
    convertEach<2>(table, src, stride, dst, pitch, columns, rows,
                   [](const Pixel* p, std::ptrdiff_t s) { return shadeIndex(shadeBlockAverage<2>(p, s)); });
}

void shadeBlocks4x4(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows) {
    convertEach<4>(table, src, stride, dst, pitch, columns, rows,
                   [](const Pixel* p, std::ptrdiff_t s) { return shadeIndex(shadeBlockAverage<4>(p, s)); });
}

void glyphBlocks1x1(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows) {
    convertEach<1>(table, src, stride, dst, pitch, columns, rows,
                   [](const Pixel* p, std::ptrdiff_t) { return glyphIndex1x1(p); });
}

void glyphBlocks2x2(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows) {
    convertEach<2>(table, src, stride, dst, pitch, columns, rows, glyphIndex2x2);
}

void glyphBlocks4x4(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows) {
    convertEach<4>(table, src, stride, dst, pitch, columns, rows, glyphIndex4x4);
}

}  // namespace vantrel
