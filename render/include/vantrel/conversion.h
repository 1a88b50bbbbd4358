// The buffers of a checked conversion: the caller's pixels and the caller's
// cells, each with its own size, and the block of pixels behind one cell.
// The renderers' convert members take these, check them with conversionFits
// and refuse (return false, write nothing) what does not fit.
#pragma once

#include <cstdint>

#include "vantrel/cell.h"
#include "vantrel/pixel.h"

namespace vantrel {

// A row-major picture: pixel (x, y) at pixels[y * stride + x], 0 <= x < width,
// 0 <= y < height. Valid when pixels is not null, width and height are not
// negative and stride >= width.
struct PixelImage {
    const Pixel* pixels;
    std::int32_t width;
    std::int32_t height;
    std::int32_t stride;  // pixels from one row to the next
};

// A row-major grid of cells: cell (column, row) at cells[row * pitch + column].
// Valid when cells is not null, width and height are not negative and
// pitch >= width.
struct CellGrid {
    Cell* cells;
    std::int32_t width;
    std::int32_t height;
    std::int32_t pitch;  // cells from one row to the next
};

// Pixels per cell, across and down.
enum class BlockSize : std::int32_t { one = 1, two = 2, four = 4 };

// Cells a conversion of `pixels` pixels (across or down) makes: whole blocks
// only, leftover pixels are not converted. 0 for a negative count.
constexpr std::int32_t blockCount(std::int32_t pixels, BlockSize block) {
    return pixels > 0 ? pixels / static_cast<std::int32_t>(block) : 0;
}

// The rectangle of the whole image.
constexpr SourceRect wholeImage(const PixelImage& image) { return {0, 0, image.width, image.height}; }

// Whether a conversion of `rect` of `image` into `grid`, its first cell at
// (cellColumn, cellRow), stays inside both buffers: the image and the grid
// are valid, `block` is one of the three sizes, the rectangle lies inside
// the image (0 <= left <= right <= width, 0 <= top <= bottom <= height; an
// empty rectangle fits, an inverted one does not), and its blocks land
// inside the grid. Every sum is formed without overflow, whatever the values.
bool conversionFits(const PixelImage& image, const SourceRect& rect, BlockSize block, const CellGrid& grid,
                    std::int32_t cellColumn, std::int32_t cellRow);

}  // namespace vantrel
