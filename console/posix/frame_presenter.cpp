#include "console/posix/frame_presenter.h"

#include <cstring>

#include "vantrel/seen_colour.h"

namespace vantrel {

namespace {

constexpr int blockRows = halfBlockRows(cellRows);
constexpr std::uint32_t known = 1u << 24;

FrameLayout cellLayout(int columns, int rows) { return centreFrame(cellColumns, cellRows, columns, rows); }

// Centred, but never cut at the top.
FrameLayout blockLayout(int columns, int rows) {
    const FrameLayout centred = centreFrame(cellColumns, blockRows, columns, rows);
    return placeFrame(cellColumns, blockRows, columns, rows, centred.originColumn,
                      rows >= blockRows ? centred.originRow : 0);
}

}  // namespace

FramePresenter::FramePresenter(ColourMode colourMode, int columns, int rows)
    : mode(colourMode),
      cellEncoder(colourMode, cellLayout(columns, rows)),
      blockEncoder(colourMode, blockLayout(columns, rows)),
      useHalfBlocks(rows < cellRows),
      seenColours(std::size_t{1} << 16, 0) {
    for (MosaicCell& b : blocks) b.character = upperHalfBlock;
}

void FramePresenter::resize(int columns, int rows) {
    useHalfBlocks = rows < cellRows;
    if (useHalfBlocks) {
        blockEncoder.setLayout(blockLayout(columns, rows));
    } else {
        cellEncoder.setLayout(cellLayout(columns, rows));
    }
}

void FramePresenter::forgetScreen() {
    cellEncoder.forgetScreen();
    blockEncoder.forgetScreen();
}

const FrameLayout& FramePresenter::layout() const {
    return useHalfBlocks ? blockEncoder.layout() : cellEncoder.layout();
}

std::uint32_t FramePresenter::seen(Cell cell) {
    // Indexed by character, then attribute: a frame uses few characters
    // (the shade renderer four) in many colours, whose entries then lie
    // together.
    std::uint32_t& entry = seenColours[static_cast<std::size_t>(cellCharacter(cell)) << 8 | cellAttribute(cell)];
    if ((entry & known) == 0) entry = known | nearestColour(mode, seenColour(cell)).value;
    return entry & (known - 1);
}

std::string_view FramePresenter::present(const Cell* cells) {
    if (!useHalfBlocks) return cellEncoder.encode({cells, cellColumns, cellRows, cellColumns});
    if (cells == nullptr) return {};
    // Most cells stay as they were: they are compared four at a time. Cell
    // (column, row) is the upper half of block (column, row / 2) when the
    // row is even, else the lower half.
    static_assert(cellColumns % 4 == 0);
    constexpr auto columns = static_cast<std::size_t>(cellColumns);
    for (std::size_t i = 0; i < static_cast<std::size_t>(cellCount); i += 4) {
        std::uint64_t now;
        std::uint64_t before;
        std::memcpy(&now, cells + i, sizeof now);
        std::memcpy(&before, blocksOf.data() + i, sizeof before);
        if (now == before && blocksKnown) continue;
        std::memcpy(blocksOf.data() + i, &now, sizeof now);
        const std::size_t row = i / columns;
        MosaicCell* block = blocks.data() + row / 2 * columns + i % columns;
        for (std::size_t k = 0; k < 4; ++k) {
            (row % 2 == 0 ? block[k].foreground : block[k].background) = seen(cells[i + k]);
        }
    }
    blocksKnown = true;
    return blockEncoder.encode({blocks.data(), cellColumns, blockRows, cellColumns});
}

}  // namespace vantrel
