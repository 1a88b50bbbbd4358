// The block walk shared by both renderers' conversions, the checks of the
// checked conversion, and the run-time choice of kernels.
#include <climits>

#include "render/convert_kernels.h"
#include "render/cpu_features.h"

namespace vantrel {

bool conversionFits(const PixelImage& image, const SourceRect& rect, BlockSize block, const CellGrid& grid,
                    std::int32_t cellColumn, std::int32_t cellRow) {
    const auto k = static_cast<std::int32_t>(block);
    if (k != 1 && k != 2 && k != 4) return false;
    if (image.pixels == nullptr || image.width < 0 || image.height < 0 || image.stride < image.width) return false;
    if (grid.cells == nullptr || grid.width < 0 || grid.height < 0 || grid.pitch < grid.width) return false;
    if (rect.left < 0 || rect.top < 0 || rect.right < rect.left || rect.bottom < rect.top ||
        rect.right > image.width || rect.bottom > image.height)
        return false;
    // Every term is now between 0 and 2^31 - 1, so the sums fit in 64 bits.
    const std::int64_t columns = (rect.right - rect.left) / k;
    const std::int64_t rows = (rect.bottom - rect.top) / k;
    return cellColumn >= 0 && cellRow >= 0 && cellColumn + columns <= grid.width && cellRow + rows <= grid.height;
}

void convertBlocks(ConvertKernel kernel, std::int32_t k, const Cell* table, const Pixel* pixels,
                   const SourceRect& rect, std::int32_t stride, Cell* cells, std::ptrdiff_t pitch,
                   std::int32_t cellColumn, std::int32_t cellRow) {
    const std::int64_t width = static_cast<std::int64_t>(rect.right) - rect.left;
    const std::int64_t height = static_cast<std::int64_t>(rect.bottom) - rect.top;
    if (width > INT32_MAX || height > INT32_MAX) return;
    const std::int64_t columns = width / k;
    const std::int64_t rows = height / k;
    if (columns <= 0 || rows <= 0) return;
    const auto src = static_cast<std::ptrdiff_t>(static_cast<std::int64_t>(rect.top) * stride + rect.left);
    const auto dst = static_cast<std::ptrdiff_t>(cellRow * static_cast<std::int64_t>(pitch) + cellColumn);
    kernel(table, pixels + src, stride, cells + dst, pitch, static_cast<std::int32_t>(columns),
           static_cast<std::int32_t>(rows));
}

bool convertChecked(const ConvertKernels& kernels, const Cell* table, const PixelImage& image,
                    const SourceRect& rect, BlockSize block, const CellGrid& grid, std::int32_t cellColumn,
                    std::int32_t cellRow) {
    if (table == nullptr || !conversionFits(image, rect, block, grid, cellColumn, cellRow)) return false;
    const auto k = static_cast<std::int32_t>(block);
    convertBlocks(kernels.forBlock(k), k, table, image.pixels, rect, image.stride, grid.cells, grid.pitch, cellColumn,
                  cellRow);
    return true;
}

void convertFixed(const ConvertKernels& kernels, std::int32_t k, const Cell* table, const Pixel* pixels,
                  const SourceRect& rect, std::int32_t stride, std::int32_t cellColumn, std::int32_t cellRow,
                  Cell* cells) {
    if (table == nullptr) return;
    convertBlocks(kernels.forBlock(k), k, table, pixels, rect, stride, cells, cellColumns, cellColumn, cellRow);
}

bool convertPathSupported(ConvertPath path) {
    switch (path) {
        case ConvertPath::scalar:
            return true;
        case ConvertPath::sse2:
            return cpuHasSse2();
        case ConvertPath::avx2:
            return cpuHasAvx2();
    }
    return false;
}

ConvertPath fastestConvertPath() {
    static const ConvertPath fastest = convertPathSupported(ConvertPath::avx2)   ? ConvertPath::avx2
                                       : convertPathSupported(ConvertPath::sse2) ? ConvertPath::sse2
                                                                                 : ConvertPath::scalar;
    return fastest;
}

namespace {

constexpr ConvertKernels shadeKernelsScalar = {shadeBlocks1x1, shadeBlocks2x2, shadeBlocks4x4};
constexpr ConvertKernels glyphKernelsScalar = {glyphBlocks1x1, glyphBlocks2x2, glyphBlocks4x4};

}  // namespace

// A path this processor lacks falls back to the scalar kernels.
const ConvertKernels& shadeKernels(ConvertPath path) {
    if (!convertPathSupported(path)) return shadeKernelsScalar;
#if defined(__x86_64__) || defined(__i386__)
    if (path == ConvertPath::avx2) return shadeKernelsAvx2;
    if (path == ConvertPath::sse2) return shadeKernelsSse2;
#endif
    return shadeKernelsScalar;
}

const ConvertKernels& glyphKernels(ConvertPath path) {
    if (!convertPathSupported(path)) return glyphKernelsScalar;
#if defined(__x86_64__) || defined(__i386__)
    if (path == ConvertPath::avx2) return glyphKernelsAvx2;
    if (path == ConvertPath::sse2) return glyphKernelsSse2;
#endif
    return glyphKernelsScalar;
}

}  // namespace vantrel
