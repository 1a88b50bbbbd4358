// Internal to the renderers, and open to their tests and benchmarks: the one
// block walk behind every conversion, and the kernels it runs, a scalar form
// and vector forms that give exactly the scalar cells.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/cell.h"
#include "vantrel/conversion.h"
#include "vantrel/pixel.h"

namespace vantrel {

// `rows` rows of `columns` cells: block (i, j), of k x k pixels, has its
// top-left pixel at src + j * k * stride + i * k and its cell at
// dst + j * pitch + i, read from `table`.
using ConvertKernel = void (*)(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst,
                               std::ptrdiff_t pitch, std::int32_t columns, std::int32_t rows);

// A renderer's kernels for the three block sizes.
struct ConvertKernels {
    ConvertKernel one;
    ConvertKernel two;
    ConvertKernel four;
    ConvertKernel forBlock(std::int32_t k) const { return k == 1 ? one : k == 2 ? two : four; }
};

enum class ConvertPath { scalar, sse2, avx2 };
inline constexpr ConvertPath convertPaths[] = {ConvertPath::scalar, ConvertPath::sse2, ConvertPath::avx2};

bool convertPathSupported(ConvertPath path);
// The fastest path this processor runs, decided once.
ConvertPath fastestConvertPath();

// The kernels of `path`; the scalar ones where this processor lacks the path
// or the path has no kernel of its own for a block size.
const ConvertKernels& shadeKernels(ConvertPath path = fastestConvertPath());
const ConvertKernels& glyphKernels(ConvertPath path = fastestConvertPath());

// Converts the whole k x k blocks of `rect` with `kernel`; cell row j goes to
// cells + (cellRow + j) * pitch + cellColumn. No bounds check, but the block
// counts are formed in 64 bits: a rectangle that is empty, inverted, or wider
// or taller than any buffer can be (more than 2^31 - 1 pixels) writes nothing.
void convertBlocks(ConvertKernel kernel, std::int32_t k, const Cell* table, const Pixel* pixels,
                   const SourceRect& rect, std::int32_t stride, Cell* cells, std::ptrdiff_t pitch,
                   std::int32_t cellColumn, std::int32_t cellRow);

// The checked conversion: false, and nothing written, unless the table is
// built and conversionFits holds.
bool convertChecked(const ConvertKernels& kernels, const Cell* table, const PixelImage& image,
                    const SourceRect& rect, BlockSize block, const CellGrid& grid, std::int32_t cellColumn,
                    std::int32_t cellRow);

// The fixed-size conversion of the CellRenderer operations: 80 cells per
// destination row, no bounds check; nothing before the table is built.
void convertFixed(const ConvertKernels& kernels, std::int32_t k, const Cell* table, const Pixel* pixels,
                  const SourceRect& rect, std::int32_t stride, std::int32_t cellColumn, std::int32_t cellRow,
                  Cell* cells);

// The scalar kernels: the reference, and the vector kernels' rows too short
// for a vector.
void shadeBlocks1x1(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows);
void shadeBlocks2x2(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows);
void shadeBlocks4x4(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows);
void glyphBlocks1x1(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows);
void glyphBlocks2x2(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows);
void glyphBlocks4x4(const Cell* table, const Pixel* src, std::ptrdiff_t stride, Cell* dst, std::ptrdiff_t pitch,
                    std::int32_t columns, std::int32_t rows);

#if defined(__x86_64__) || defined(__i386__)
// The vector kernels; run them only when convertPathSupported says the
// processor has the instructions. The AVX2 gathers read 32 bits at the last
// entry of a table, so the table needs one spare cell past its end
// (LookupTable has it).
extern const ConvertKernels shadeKernelsSse2;
extern const ConvertKernels glyphKernelsSse2;
extern const ConvertKernels shadeKernelsAvx2;
extern const ConvertKernels glyphKernelsAvx2;
#endif

}  // namespace vantrel
