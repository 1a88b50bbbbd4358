// The shade renderer: each cell shows one of the sixteen console colours as a
// solid block, or two of them mixed through the shade characters 176-178.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "vantrel/cell_renderer.h"

namespace vantrel {

struct PaletteColour {
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
};

// The console colours on the 0..63 scale of the VGA colour registers. Entry 8
// is far out of range on purpose: no colour is ever matched to dark grey.
extern const std::array<PaletteColour, 16> shadePalette;

class ShadeRenderer : public CellRenderer {
public:
    static constexpr int tableSize = 4096;

    // Nearest palette colour to (red, green, blue) on the 0..63 scale, then the
    // best shade mix of it with a second colour. Needs no table. A component
    // outside 0..63 counts as the nearer end of that range.
    Cell colourToCell(std::int32_t red, std::int32_t green, std::int32_t blue) const override;
    // Fills the 4096-entry table through the virtual colourToCell; flags are ignored.
    void buildTable(std::int32_t flags) override;
    void convert1x1(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                    std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const override;
    void convert2x2(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                    std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const override;
    void convert4x4(const Pixel* pixels, const SourceRect& rect, std::int32_t stride,
                    std::int32_t cellColumn, std::int32_t cellRow, Cell* cells) const override;

    // Null until the first buildTable.
    const Cell* tableData() const { return table.get(); }

private:
    std::unique_ptr<Cell[]> table;
};

}  // namespace vantrel
