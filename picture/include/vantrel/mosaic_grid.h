// The caller's grid of mosaic cells as the picture renderers write it: laid
// out as a CellView (vantrel/cell_view.h), which is its read-only view.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/cell_view.h"
#include "vantrel/mosaic_cell.h"

namespace vantrel {

// Cell (column, row) at cells[row * pitch + column]. Valid as CellView is.
struct MosaicGrid {
    MosaicCell* cells = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t pitch = 0;  // cells from one row to the next

    CellView<MosaicCell> view() const { return {cells, width, height, pitch}; }
    bool valid() const { return view().valid(); }
    MosaicCell* row(std::int32_t row) const { return cells + static_cast<std::ptrdiff_t>(row) * pitch; }
};

}  // namespace vantrel
