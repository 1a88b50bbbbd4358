// How the host shows the program's 80x50 cell frame on a terminal of any
// size. With at least 50 rows, as cells: centred, or its middle columns on a
// narrower terminal. With fewer rows, in half blocks: each character shows
// two cells stacked, each cell as its seen colour (seen_colour.h), so that
// the frame takes 25 rows, centred on a taller terminal; a shorter one shows
// its top rows, where the speed gauge is. Columns as in the cell form.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "vantrel/cell.h"
#include "vantrel/frame_encoder.h"
#include "vantrel/half_blocks.h"
#include "vantrel/mosaic_encoder.h"

namespace vantrel {

class FramePresenter {
public:
    FramePresenter(ColourMode mode, int columns, int rows);

    // A new terminal size; it picks the form, and the next frame repaints
    // in full.
    void resize(int columns, int rows);
    // The terminal's contents are unknown: the next frame repaints in full.
    void forgetScreen();

    // The bytes that bring the terminal to the frame: 80x50 cells, 80 per
    // row. Empty when nothing changed; valid until the next call.
    std::string_view present(const Cell* cells);

    bool halfBlocks() const { return useHalfBlocks; }
    // Where the frame lands, in terminal cells (in half blocks, 80x25).
    const FrameLayout& layout() const;

private:
    std::uint32_t seen(Cell cell);

    ColourMode mode;
    FrameEncoder cellEncoder;
    MosaicEncoder blockEncoder;
    bool useHalfBlocks = false;
    // The frame in half blocks, and the cells it was made from (valid when
    // `blocksKnown`): only cells that changed are looked up again.
    std::array<MosaicCell, cellCount / 2> blocks{};
    CellBuffer blocksOf{};
    bool blocksKnown = false;
    // Seen colours of the cells met so far, as the mode tells them, filled
    // as they turn up: the colour value with bit 24 set once known.
    std::vector<std::uint32_t> seenColours;
};

}  // namespace vantrel
