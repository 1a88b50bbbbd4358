// A read-only view of a grid of cells in the caller's memory: `height` rows
// of `width` cells, row r starting at cells[r * pitch] (pitch counted in
// cells). T is a console Cell or a MosaicCell.
//
//     std::vector<vantrel::MosaicCell> grid(columns * rows);
//     vantrel::CellView<vantrel::MosaicCell> view{grid.data(), columns, rows, columns};
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

template <class T>
struct CellView {
    const T* cells = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;

    // The sizes are not negative, pitch >= width, and cells is not null
    // unless the grid is empty.
    constexpr bool valid() const {
        if (width < 0 || height < 0 || pitch < width) return false;
        return cells != nullptr || width == 0 || height == 0;
    }
    constexpr const T* row(std::int32_t r) const { return cells + static_cast<std::ptrdiff_t>(r) * pitch; }
};

}  // namespace vantrel
