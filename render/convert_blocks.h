// The block geometry shared by every renderer's conversions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/cell.h"
#include "vantrel/pixel.h"

namespace vantrel {

// Walks the K x K blocks of `rect` top to bottom, left to right, and writes
// blockToCell(first pixel of the block) to the matching cell. Whole blocks
// only: leftover columns and rows at the right and bottom are not read. The
// destination advances 80 cells per cell row whatever the source stride is.
template <int K, class BlockToCell>
inline void convertBlocks(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                          std::int32_t cellColumn, std::int32_t cellRow, Cell* cells,
                          BlockToCell blockToCell) {
    const std::int32_t columns = (rect.right - rect.left) / K;
    const std::int32_t rows = (rect.bottom - rect.top) / K;
    if (rows <= 0 || columns <= 0) return;
    for (std::int32_t j = 0; j < rows; ++j) {
        const Pixel* src = pixels + (static_cast<std::ptrdiff_t>(rect.top) + K * j) * stride + rect.left;
        Cell* dst = cells + (static_cast<std::ptrdiff_t>(cellRow) + j) * cellColumns + cellColumn;
        for (std::int32_t i = 0; i < columns; ++i) {
            dst[i] = blockToCell(src + static_cast<std::ptrdiff_t>(K) * i);
        }
    }
}

}  // namespace vantrel
