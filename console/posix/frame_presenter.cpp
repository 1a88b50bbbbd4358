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

FramePresenter::FramePresenter(ColourMode mode, int columns, int rows)
    : cellEncoder(mode, cellLayout(columns, rows)),
      blockEncoder(mode, blockLayout(columns, rows)),
      useHalfBlocks(rows < cellRows),
      seenColours(std::size_t{1} << 16, 0) {}

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

Rgb FramePresenter::seen(Cell cell) {
    // Indexed by character, then attribute: a frame uses few characters
    // (the shade renderer four) in many colours, whose entries then lie
    // together.
    std::uint32_t& entry = seenColours[static_cast<std::size_t>(cellCharacter(cell)) << 8 | cellAttribute(cell)];
    if ((entry & known) == 0) {
        const Rgb c = seenColour(cell);
        entry = known | static_cast<std::uint32_t>(c.red) << 16 | static_cast<std::uint32_t>(c.green) << 8 | c.blue;
    }
    return Rgb{static_cast<std::uint8_t>(entry >> 16), static_cast<std::uint8_t>(entry >> 8),
               static_cast<std::uint8_t>(entry)};
}

std::string_view FramePresenter::present(const Cell* cells) {
    if (!useHalfBlocks) return cellEncoder.encode(cells, cellColumns);
    if (cells == nullptr) return {};
    // Most cells stay as they were: they are compared four at a time.
    static_assert(cellCount % 4 == 0);
    for (std::size_t i = 0; i < colours.size(); i += 4) {
        std::uint64_t now;
        std::uint64_t before;
        std::memcpy(&now, cells + i, sizeof now);
        std::memcpy(&before, coloursOf.data() + i, sizeof before);
        if (now == before && coloursKnown) continue;
        std::memcpy(coloursOf.data() + i, &now, sizeof now);
        for (std::size_t k = i; k < i + 4; ++k) colours[k] = seen(cells[k]);
    }
    coloursKnown = true;
    return blockEncoder.encode(colours.data(), cellRows, cellColumns);
}

}  // namespace vantrel
