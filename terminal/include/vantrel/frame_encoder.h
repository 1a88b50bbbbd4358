// Turns console cell frames into terminal output. It keeps the cells the
// terminal shows and writes only those that look different, grouped by the
// colours they need so that colour codes are few, each reached with the
// cheapest cursor move (or by reprinting a few cells); the whole frame goes
// into one fixed buffer between the begin and end of a synchronized update.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "vantrel/console_colours.h"
#include "vantrel/frame_layout.h"
#include "vantrel/glyph_table.h"
#include "vantrel/cell.h"

namespace vantrel {

// The cell as it looks: a cell whose glyph is blank (code 0, 32 or 255) or
// whose foreground equals its background shows only its background colour,
// and becomes a space with foreground = background.
constexpr Cell visibleCell(Cell c) {
    const int character = c & 0xFF;
    const int foreground = (c >> 8) & 0x0F;
    const int background = c >> 12;
    if (foreground == background || character == 0 || character == 32 || character == 255) {
        return makeCell(32, static_cast<std::uint8_t>(background * 0x11));
    }
    return c;
}

class FrameEncoder {
public:
    // Longest output for one cell: a cursor move, both colours, a glyph.
    static constexpr std::size_t maxCellBytes = 14 + maxColourBytes + 4;
    static constexpr std::size_t capacity = cellCount * maxCellBytes + 64;

    FrameEncoder(ColourMode mode, const GlyphTable& glyphs, int terminalColumns, int terminalRows);

    // Lays the frame out again for a new terminal size; the next frame repaints in full.
    void resize(int terminalColumns, int terminalRows);
    // The terminal's contents are unknown (just entered, resumed): the next
    // frame clears the screen and repaints in full.
    void forgetScreen() { repaintAll = true; }

    // The bytes that bring the terminal from what it shows to `frame`
    // (80x50 cells, row-major). Empty when nothing changed. The view stays
    // valid until the next call.
    std::string_view encode(const Cell* frame);

    const FrameLayout& layout() const { return frameLayout; }
    ColourMode colourMode() const { return mode; }

private:
    struct Position {
        int row = -1;  // terminal coordinates, 0-based; -1 = unknown
        int column = -1;
    };

    void moveTo(ByteWriter& out, int row, int column, int frameRow);
    int reprintCost(int frameRow, int fromColumn, int toColumn) const;
    void writeCell(ByteWriter& out, Cell cell);
    static std::size_t colourKey(Cell cell);
    void emitBucket(ByteWriter& out, std::size_t key);
    void emitMerged(ByteWriter& out, std::size_t keyA, std::size_t keyB);
    void emitCell(ByteWriter& out, std::size_t index);

    // Colour codes for every foreground (16: unchanged) and background
    // pair, made once so that a frame only copies them.
    struct ColourCode {
        char bytes[maxColourBytes];
        std::uint8_t size;
    };

    ColourMode mode;
    GlyphTable glyphs;
    std::array<ColourCode, 17 * 17> colourCodes{};
    FrameLayout frameLayout;
    bool repaintAll = true;
    Position cursor;
    int penForeground = -1;  // -1: not known to be one of the sixteen colours
    int penBackground = -1;
    std::array<Cell, cellCount> shown{};     // as each cell looks on the terminal
    std::array<Cell, cellCount> previous{};  // the last frame as given, to skip unchanged rows fast
    std::array<bool, cellCount> pending{};   // changed, not yet written in this frame
    // This frame's changed cells, then the same sorted by colourKey: group k
    // is order[bucketStart[k] .. bucketStart[k + 1]).
    std::array<std::uint16_t, cellCount> dirty{};
    std::array<std::uint16_t, cellCount> order{};
    std::array<std::uint16_t, 16 * 17 + 1> bucketStart{};
    std::array<std::uint16_t, 16 * 17 + 1> bucketFill{};
    std::array<char, capacity> buffer{};
};

}  // namespace vantrel
