// The lookup table a renderer owns: an array of cells, made by buildTable
// and released on rebuild and destruction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "vantrel/cell.h"

namespace vantrel {

class LookupTable {
public:
    // Releases the cells there are, then allocates `size` cells, all zero,
    // and returns them for the caller to fill. One more zero cell lies past
    // the end, so that a vector gather may read 32 bits at the last entry.
    Cell* allocate(std::int32_t size) {
        cells.reset();
        cells = std::make_unique<Cell[]>(static_cast<std::size_t>(size) + 1);
        return cells.get();
    }
    // Null until the first allocate.
    const Cell* data() const { return cells.get(); }
    explicit operator bool() const { return cells != nullptr; }

private:
    std::unique_ptr<Cell[]> cells;
};

}  // namespace vantrel
