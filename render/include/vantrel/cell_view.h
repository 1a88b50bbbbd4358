// Read-only views of grids of cells, of either kind: console Cells or
// MosaicCells. What the renderers write, the encoders and the inline printer
// read through one of these rather than a loose (pointer, width, height,
// pitch).
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/cell.h"
#include "vantrel/mosaic_cell.h"

namespace vantrel {

// A row-major grid of cells: cell (column, row) at cells[row * pitch + column],
// 0 <= column < width, 0 <= row < height. Valid when width and height are not
// negative, pitch >= width, and cells is not null unless the grid is empty.
template <class T>
struct CellView {
    const T* cells = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;  // cells from one row to the next

    bool valid() const {
        return width >= 0 && height >= 0 && pitch >= width && (cells != nullptr || width == 0 || height == 0);
    }
    // Row `row`, width cells; the caller keeps row inside the grid.
    const T* row(std::int32_t row) const { return cells + static_cast<std::ptrdiff_t>(row) * pitch; }
    const T& at(std::int32_t column, std::int32_t row) const { return this->row(row)[column]; }
};

using ConsoleCellView = CellView<Cell>;
using MosaicCellView = CellView<MosaicCell>;

// A writable grid of mosaic cells, laid out as a CellView: what the picture
// renderers write into.
struct MosaicGrid {
    MosaicCell* cells = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;

    bool valid() const { return MosaicCellView{cells, width, height, pitch}.valid(); }
    MosaicCell* row(std::int32_t row) const { return cells + static_cast<std::ptrdiff_t>(row) * pitch; }
    MosaicCellView view() const { return {cells, width, height, pitch}; }
};

}  // namespace vantrel
