#include "vantrel/frame_encoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "terminal/colour_groups.h"
#include "terminal/cursor_moves.h"
#include "terminal/encoder_placement.h"
#include "terminal/glyph_table.h"
#include "terminal/output_cursor.h"
#include "vantrel/cp437_unicode.h"

namespace vantrel {

namespace {

constexpr int unreachable = 1 << 20;

// Longest output for one cell: a cursor move, both colours, a glyph.
constexpr std::size_t maxCellBytes = CursorMoves::maxBytes + maxSgrBytes + cp437Utf8MaxBytes;
// Room for the begin and end of the synchronized update, the reset and
// clear of a repaint, and the padded copies reaching past the last byte.
constexpr std::size_t frameOverhead = 64 + maxSgrBytes;

constexpr std::string_view beginUpdate = "\x1b[?2026h";
constexpr std::string_view endUpdate = "\x1b[?2026l";

// A colour code for each foreground (16: unchanged) and background (16:
// unchanged) pair, made once so that a frame only copies them.
struct ColourCode {
    char bytes[maxSgrBytes];
    std::uint8_t size;
};


// The cells at a and b compared four at a time, as 64-bit words: the bits
// that differ. On a little-endian machine cell i of the four is bits
// 16 i .. 16 i + 15.
static_assert(std::endian::native == std::endian::little, "cell i of a word is its 16-bit lane i");
std::uint64_t difference(const Cell* a, const Cell* b) {
    std::uint64_t x;
    std::uint64_t y;
    std::memcpy(&x, a, sizeof x);
    std::memcpy(&y, b, sizeof y);
    return x ^ y;
}

// Writes cells to the output: the cursor moves, colour codes and glyphs.
// It works on copies of the encoder's state, kept in registers while it
// runs: every byte it writes could otherwise change any member of the
// encoder, as far as the compiler knows, and have it read them again.
struct Emitter {
    // Fixed while a frame is written.
    const Cell* shown;
    std::uint8_t* pending;
    const GlyphTable& glyphs;
    const ColourCode* colourCodes;
    const CursorMoves& moves;
    std::size_t width;
    int baseRow;
    int baseColumn;
    int terminalColumns;
    // Where the output, the cursor and the pen are.
    OutputCursor out;
    int cursorRow;  // terminal coordinates, 0-based; -1 = unknown
    int cursorColumn;
    int penForeground;  // -1: not known to be one of the sixteen colours
    int penBackground;

    // Bytes needed to reprint the shown cells [fromColumn, toColumn) of a
    // row as the terminal shows them, with the current colours;
    // `unreachable` when one of them needs other colours or is still to be
    // written.
    int reprintCost(std::size_t rowStart, int fromColumn, int toColumn) const {
        if (fromColumn < 0) return unreachable;
        int cost = 0;
        for (int c = fromColumn; c < toColumn; ++c) {
            const std::size_t index = rowStart + static_cast<std::size_t>(c);
            if (pending[index] != 0) return unreachable;  // the terminal does not show it yet
            const Cell cell = shown[index];
            if (cellBackground(cell) != penBackground) return unreachable;
            const int character = cellCharacter(cell);
            if (character != 32 && cellForeground(cell) != penForeground) return unreachable;
            cost += glyphs[static_cast<std::size_t>(character)].size;
        }
        return cost;
    }

    [[gnu::always_inline]] void moveTo(int row, int column, std::size_t rowStart) {
        if (cursorRow == row) {
            if (cursorColumn == column) return;
            // Forward along the row (the usual case): a relative move is
            // never beaten by an absolute one or a carriage return, only
            // perhaps by reprinting the cells in between.
            if (cursorColumn >= 0 && column > cursorColumn) {
                const int gap = column - cursorColumn;
                const int from = cursorColumn - baseColumn;
                const int to = column - baseColumn;
                constexpr int reprintReach = 6;
                if (gap <= reprintReach &&
                    reprintCost(rowStart, from, to) <= moves.csiCost(static_cast<unsigned>(gap))) {
                    for (int c = from; c < to; ++c) {
                        const GlyphBytes& g = glyphs[cellCharacter(shown[rowStart + static_cast<std::size_t>(c)])];
                        out.putPadded<sizeof g.bytes>(g.bytes, g.size);
                    }
                } else {
                    moves.csi(out, static_cast<unsigned>(gap), 'C');
                }
                cursorColumn = column;
                return;
            }
        }
        moves.move(out, cursorRow, cursorColumn, row, column);
        cursorRow = row;
        cursorColumn = column;
    }

    [[gnu::always_inline]] void writeCell(Cell cell) {
        const int character = cellCharacter(cell);
        const int foreground = cellForeground(cell);
        const int background = cellBackground(cell);
        // A space shows only its background, whatever the foreground.
        const int newForeground = character != 32 && foreground != penForeground ? foreground : 16;
        const int newBackground = background != penBackground ? background : 16;
        if (newForeground != 16 || newBackground != 16) {
            const ColourCode& code = colourCodes[static_cast<std::size_t>(newForeground * 17 + newBackground)];
            out.putPadded<sizeof code.bytes>(code.bytes, code.size);
        }
        if (newForeground < 16) penForeground = newForeground;
        if (newBackground < 16) penBackground = newBackground;
        const GlyphBytes& g = glyphs[static_cast<std::size_t>(character)];
        out.putPadded<sizeof g.bytes>(g.bytes, g.size);
    }

    [[gnu::always_inline]] void emitCell(Place place) {
        const int shownRow = static_cast<int>(place >> 16);
        const int terminalColumn = baseColumn + static_cast<int>(place & 0xFFFF);
        const std::size_t rowStart = static_cast<std::size_t>(shownRow) * width;
        moveTo(baseRow + shownRow, terminalColumn, rowStart);
        const std::size_t index = rowStart + (place & 0xFFFF);
        writeCell(shown[index]);
        pending[index] = 0;
        // With autowrap off a terminal keeps the cursor on its last column;
        // not all agree on where it is then, so it is taken as unknown.
        if (terminalColumn + 1 < terminalColumns) {
            cursorColumn = terminalColumn + 1;
        } else {
            cursorRow = -1;
            cursorColumn = -1;
        }
    }

    void emitRange(const Place* begin, const Place* end) {
        for (const Place* p = begin; p != end; ++p) emitCell(*p);
    }

    // Two groups that the same colours show, together in screen order.
    void emitMerged(const Place* a, const Place* endA, const Place* b, const Place* endB) {
        while (a != endA || b != endB) {
            if (b == endB || (a != endA && *a < *b)) {
                emitCell(*a++);
            } else {
                emitCell(*b++);
            }
        }
    }
};

}  // namespace

struct FrameEncoder::State : EncoderPlacement {
    State(ColourMode colourMode, const FrameLayout& l);
    void setLayout(const FrameLayout& l);
    std::string_view encode(const Cell* cells, int pitch);

    std::string_view repaint(const Cell* cells, int pitch);
    Emitter emitter() {
        return Emitter{shown.data(),
                       pending.data(),
                       glyphs,
                       colourCodes.data(),
                       moves,
                       static_cast<std::size_t>(width),
                       baseRow,
                       baseColumn,
                       layout.terminalColumns,
                       OutputCursor{buffer.data()},
                       cursorRow,
                       cursorColumn,
                       penForeground,
                       penBackground};
    }
    std::string_view finish(const Emitter& e) {
        cursorRow = e.cursorRow;
        cursorColumn = e.cursorColumn;
        penForeground = e.penForeground;
        penBackground = e.penBackground;
        return {buffer.data(), static_cast<std::size_t>(e.out.at - buffer.data())};
    }

    static std::uint16_t groupOf(Cell cell) {
        return static_cast<std::uint16_t>(cellBackground(cell) * 17 +
                                          (cellCharacter(cell) == 32 ? 16 : cellForeground(cell)));
    }

    ColourMode mode;
    const GlyphTable& glyphs = cp437Glyphs();
    std::array<ColourCode, 17 * 17> colourCodes{};
    // The terminal's colours after the last frame; -1: not known to be one
    // of the sixteen.
    int penForeground = -1;
    int penBackground = -1;
    std::vector<Cell> shown;            // as each cell looks on the terminal
    std::vector<Cell> previous;         // the last frame as given, to skip unchanged cells fast
    std::vector<std::uint8_t> pending;  // changed, not yet written in this frame
    ColourGroups colourGroups;  // this frame's changed cells, by the colours they need
    std::vector<char> buffer;
};

FrameEncoder::State::State(ColourMode colourMode, const FrameLayout& l) : mode(colourMode) {
    for (int fg = 0; fg <= 16; ++fg) {
        for (int bg = 0; bg <= 16; ++bg) {
            ColourCode& code = colourCodes[static_cast<std::size_t>(fg * 17 + bg)];
            std::optional<TerminalColour> foreground;
            std::optional<TerminalColour> background;
            if (fg < 16) foreground = consoleColour(mode, fg);
            if (bg < 16) background = consoleColour(mode, bg);
            code.size = static_cast<std::uint8_t>(writeSgr(foreground, background, code.bytes, sizeof code.bytes));
        }
    }
    setLayout(l);
}

void FrameEncoder::State::setLayout(const FrameLayout& l) {
    const std::size_t cells = place(l);
    // assign() keeps the capacity: a layout no larger than before allocates nothing.
    shown.assign(cells, 0);
    previous.assign(cells, 0);
    pending.assign(cells, 0);
    colourGroups.resize(cells);
    buffer.resize(cells * maxCellBytes + frameOverhead);
}

// Everything in screen order, on a cleared screen whose margins around the
// frame keep the default colours.
std::string_view FrameEncoder::State::repaint(const Cell* cells, int pitch) {
    cursorRow = cursorColumn = -1;
    penForeground = penBackground = -1;
    Emitter e = emitter();
    e.out.put(beginUpdate);
    e.out.put("\x1b[0m\x1b[2J");
    for (int r = 0; r < height; ++r) {
        const Cell* row = cells + static_cast<std::ptrdiff_t>(layout.firstRow + r) * pitch + layout.firstColumn;
        for (int c = 0; c < width; ++c) {
            const auto index = static_cast<std::size_t>(r * width + c);
            previous[index] = row[c];
            shown[index] = visibleCell(row[c]);
            pending[index] = 0;
            e.emitCell((static_cast<Place>(r) << 16) | static_cast<Place>(c));
        }
    }
    e.out.put(endUpdate);
    repaintAll = false;
    return finish(e);
}

std::string_view FrameEncoder::State::encode(const Cell* cells, int pitch) {
    if (cells == nullptr || pitch < layout.frameColumns) return {};
    if (repaintAll) return repaint(cells, pitch);

    // The cells that look different from what the terminal shows. Most
    // cells stay the same: they are compared sixteen at a time.
    // Everything the loop touches is in locals: its stores of flag bytes
    // could otherwise change any member, as far as the compiler knows.
    const int columns = width;
    const int rows = height;
    Cell* const shownCells = shown.data();
    Cell* const previousCells = previous.data();
    std::uint8_t* const pendingCells = pending.data();
    Place* const dirtyPlaces = colourGroups.dirty.data();
    std::uint16_t* const dirtyGroups = colourGroups.dirtyGroup.data();
    std::uint32_t* const sizes = colourGroups.groupSize.data();
    std::uint32_t* const groupSets = colourGroups.groupsOf.data();
    const Cell* const first = cells + static_cast<std::ptrdiff_t>(layout.firstRow) * pitch + layout.firstColumn;
    std::size_t count = 0;
    for (int r = 0; r < rows; ++r) {
        const Cell* const row = first + static_cast<std::ptrdiff_t>(r) * pitch;
        const auto rowStart = static_cast<std::size_t>(r) * static_cast<std::size_t>(columns);
        Cell* const before = previousCells + rowStart;
        // Cell c is not as in the frame before.
        const auto changed = [&](int c) {
            before[c] = row[c];
            const Cell want = visibleCell(row[c]);
            const std::size_t index = rowStart + static_cast<std::size_t>(c);
            if (shownCells[index] == want) return;
            shownCells[index] = want;
            pendingCells[index] = 1;
            dirtyPlaces[count] = (static_cast<Place>(r) << 16) | static_cast<Place>(c);
            const std::uint16_t group = groupOf(want);
            dirtyGroups[count] = group;
            ++count;
            ++sizes[group];
            groupSets[cellBackground(want)] |= 1u << (group - cellBackground(want) * 17);
        };
        // The cells that differ in four words, found from the bits that
        // differ rather than by testing each cell.
        const auto changedIn = [&](int c, std::uint64_t bits) {
            while (bits != 0) {
                const int lane = std::countr_zero(bits) / 16;
                bits &= ~(std::uint64_t{0xFFFF} << (16 * lane));
                changed(c + lane);
            }
        };
        int c = 0;
        for (; c + 16 <= columns; c += 16) {
            const std::uint64_t d0 = difference(row + c, before + c);
            const std::uint64_t d1 = difference(row + c + 4, before + c + 4);
            const std::uint64_t d2 = difference(row + c + 8, before + c + 8);
            const std::uint64_t d3 = difference(row + c + 12, before + c + 12);
            if ((d0 | d1 | d2 | d3) == 0) continue;
            changedIn(c, d0);
            changedIn(c + 4, d1);
            changedIn(c + 8, d2);
            changedIn(c + 12, d3);
        }
        for (; c < columns; ++c) {
            if (row[c] != before[c]) changed(c);
        }
    }
    if (count == 0) return {};

    // They go out grouped by the colours they need (colour_groups.h).
    colourGroups.sort(count);
    Emitter e = emitter();
    e.out.put(beginUpdate);
    colourGroups.visit(
        penBackground, [&] { return e.penForeground; },
        [&](const Place* begin, const Place* end) { e.emitRange(begin, end); },
        [&](const Place* a, const Place* aEnd, const Place* b, const Place* bEnd) { e.emitMerged(a, aEnd, b, bEnd); });
    e.out.put(endUpdate);
    return finish(e);
}

FrameEncoder::FrameEncoder(ColourMode mode, const FrameLayout& layout) : state(std::make_unique<State>(mode, layout)) {}
FrameEncoder::~FrameEncoder() = default;
FrameEncoder::FrameEncoder(FrameEncoder&&) noexcept = default;
FrameEncoder& FrameEncoder::operator=(FrameEncoder&&) noexcept = default;

void FrameEncoder::setLayout(const FrameLayout& layout) { state->setLayout(layout); }
void FrameEncoder::forgetScreen() { state->repaintAll = true; }
std::string_view FrameEncoder::encode(CellView<Cell> frame) {
    if (!frame.valid() || frame.width != state->layout.frameColumns || frame.height != state->layout.frameRows) {
        return {};
    }
    return state->encode(frame.cells, frame.pitch);
}
const FrameLayout& FrameEncoder::layout() const { return state->layout; }
ColourMode FrameEncoder::colourMode() const { return state->mode; }

}  // namespace vantrel
