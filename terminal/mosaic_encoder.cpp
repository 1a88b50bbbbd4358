#include "vantrel/mosaic_encoder.h"

#include <array>
#include <bit>
#include <cstdint>
#include <vector>

#include "terminal/colour_groups.h"
#include "terminal/cursor_moves.h"
#include "terminal/encoder_placement.h"
#include "terminal/mosaic_text.h"
#include "terminal/output_cursor.h"

namespace vantrel {

namespace {

constexpr std::string_view beginUpdate = "\x1b[?2026h";
constexpr std::string_view endUpdate = "\x1b[?2026l";

// A pen colour that no cell has: the terminal's default, or not known.
constexpr std::uint32_t noColour = 0xFFFFFFFF;

// Longest output for one cell: a cursor move (or the cells reprinted in its
// place, never longer), both colours, the character.
constexpr std::size_t maxCellBytes = CursorMoves::maxBytes + maxMosaicSgrBytes + maxMosaicGlyphBytes;
// Room for the begin and end of the synchronized update, the reset and
// clear of a repaint, and the padded copies reaching past the last byte.
constexpr std::size_t frameOverhead = 64;

// Gaps of up to this many cells may be crossed by reprinting them.
constexpr int reprintReach = 6;


// Writes the cells of one frame. It works on copies of the encoder's
// state, kept in registers while it runs: every byte it writes could
// otherwise change any member of the encoder, as far as the compiler knows.
struct Emitter {
    const SgrWriter& sgr;
    const CursorMoves& moves;
    OutputCursor out;
    int cursorRow;  // terminal coordinates, 0-based; -1 = unknown
    int cursorColumn;
    std::uint32_t penForeground;
    std::uint32_t penBackground;

    bool inPen(const MosaicCell& v) const {
        return v.background == penBackground && (v.character == U' ' || v.foreground == penForeground);
    }

    // To (row, column); `gap` is the shown row's cells from the frame's
    // first shown column, those between the cursor and the column reprinted
    // in its place when that is shorter and they are on the terminal as
    // shown (`waiting`, the row's flags of cells changed but not yet
    // written, is 0 for them).
    void moveTo(int row, int column, const MosaicCell* gap, const std::uint8_t* waiting, int baseColumn) {
        if (cursorRow == row && cursorColumn >= 0 && column > cursorColumn && column - cursorColumn <= reprintReach) {
            const int from = cursorColumn - baseColumn;
            const int to = column - baseColumn;
            const int csi = moves.csiCost(static_cast<unsigned>(to - from));
            int cost = 0;
            for (int c = from; c < to && cost <= csi; ++c) {
                cost += waiting[c] == 0 && inPen(gap[c]) ? static_cast<int>(utf8Size(gap[c].character)) : csi + 1;
            }
            if (cost <= csi) {
                for (int c = from; c < to; ++c) out.at += utf8(gap[c].character, out.at);
                cursorColumn = column;
                return;
            }
        }
        if (cursorRow != row || cursorColumn != column) moves.move(out, cursorRow, cursorColumn, row, column);
        cursorRow = row;
        cursorColumn = column;
    }

    void put(const MosaicCell& v) {
        const bool setForeground = v.character != U' ' && v.foreground != penForeground;
        const bool setBackground = v.background != penBackground;
        out.at = sgr.write(out.at, setForeground, v.foreground, setBackground, v.background);
        if (setForeground) penForeground = v.foreground;
        penBackground = v.background;
        out.at += utf8(v.character, out.at);
    }
};

}  // namespace

struct MosaicEncoder::State : EncoderPlacement {
    State(ColourMode colourMode, const FrameLayout& l)
        : mode(colourMode), mask(colourMask(colourMode)), sgr(sgrWriter(colourMode)) {
        setLayout(l);
    }
    void setLayout(const FrameLayout& l);
    std::string_view encode(CellView<MosaicCell> frame);
    // The changed cells of a sixteen-colour frame (already in `shown`,
    // flagged in `pending`, listed in `dirty`) written grouped by colours.
    void emitGrouped(Emitter& e, std::size_t count);

    ColourMode mode;
    std::uint32_t mask;
    const SgrWriter& sgr;
    // The terminal's colours after the last frame.
    std::uint32_t penForeground = noColour;
    std::uint32_t penBackground = noColour;
    // Per shown cell: as last given, to skip unchanged cells fast, and as
    // the terminal shows it.
    std::vector<MosaicCell> given;
    std::vector<MosaicCell> shown;
    std::vector<char> buffer;
    // Sixteen colours: the frame's changed cells not yet written, and their
    // colour groups.
    std::vector<std::uint8_t> pending;
    ColourGroups colourGroups;
};

void MosaicEncoder::State::setLayout(const FrameLayout& l) {
    const std::size_t cells = place(l);
    // assign() keeps the capacity: a layout no larger than before allocates nothing.
    given.assign(cells, MosaicCell{});
    shown.assign(cells, MosaicCell{});
    buffer.resize(cells * maxCellBytes + frameOverhead);
    pending.assign(cells, 0);
    if (mode == ColourMode::ansi16) colourGroups.resize(cells);
}

std::string_view MosaicEncoder::State::encode(CellView<MosaicCell> frame) {
    if (!frame.valid() || frame.width != layout.frameColumns || frame.height != layout.frameRows) return {};
    const bool repaint = repaintAll;
    Emitter e{sgr, moves, OutputCursor{buffer.data()}, cursorRow, cursorColumn, penForeground, penBackground};
    e.out.put(beginUpdate);
    if (repaint) {
        // The margins around the frame keep the default colours.
        e.out.put("\x1b[0m\x1b[2J");
        e.penForeground = e.penBackground = noColour;
        e.cursorRow = e.cursorColumn = -1;
    }
    // Kept in locals while the loop runs, for the same reason as the emitter.
    const std::uint32_t colourBits = mask;
    const int columns = width;
    const int rows = height;
    const int terminalColumns = layout.terminalColumns;
    const int leftColumn = baseColumn;
    MosaicCell* const givenCells = given.data();
    MosaicCell* const shownCells = shown.data();
    // At sixteen colours (and not repainting), the changed cells are listed
    // here and written afterwards, grouped by their colours: a colour code
    // costs more than the cursor moves this adds.
    const bool grouped = mode == ColourMode::ansi16 && !repaint;
    std::uint8_t* const waiting = pending.data();
    Place* const dirtyPlaces = colourGroups.dirty.data();
    std::uint16_t* const dirtyGroups = colourGroups.dirtyGroup.data();
    std::uint32_t* const sizes = colourGroups.groupSize.data();
    std::uint32_t* const groupSets = colourGroups.groupsOf.data();
    std::size_t count = 0;
    bool changed = false;
    for (int r = 0; r < rows; ++r) {
        const MosaicCell* const row = frame.row(layout.firstRow + r) + layout.firstColumn;
        const std::size_t rowStart = static_cast<std::size_t>(r) * static_cast<std::size_t>(columns);
        MosaicCell* const before = givenCells + rowStart;
        MosaicCell* const look = shownCells + rowStart;
        const int terminalRow = baseRow + r;
        for (int c = 0; c < columns; ++c) {
            if (row[c] == before[c] && !repaint) continue;
            before[c] = row[c];
            const MosaicCell v = visibleMosaic(row[c], colourBits);
            if (v == look[c] && !repaint) continue;
            look[c] = v;
            changed = true;
            if (grouped) {
                waiting[rowStart + static_cast<std::size_t>(c)] = 1;
                dirtyPlaces[count] = (static_cast<Place>(r) << 16) | static_cast<Place>(c);
                const auto group = static_cast<std::uint16_t>(v.background * 17 + (v.character == U' ' ? 16 : v.foreground));
                dirtyGroups[count] = group;
                ++count;
                ++sizes[group];
                groupSets[v.background] |= 1u << (group - v.background * 17);
                continue;
            }
            const int column = leftColumn + c;
            e.moveTo(terminalRow, column, look, waiting + rowStart, leftColumn);
            e.put(v);
            // With autowrap off a terminal keeps the cursor on its last
            // column; not all agree on where it is then, so it is unknown.
            if (column + 1 < terminalColumns) {
                e.cursorColumn = column + 1;
            } else {
                e.cursorRow = e.cursorColumn = -1;
            }
        }
    }
    if (count != 0) emitGrouped(e, count);
    penForeground = e.penForeground;
    penBackground = e.penBackground;
    cursorRow = e.cursorRow;
    cursorColumn = e.cursorColumn;
    repaintAll = false;
    if (!changed && !repaint) return {};
    e.out.put(endUpdate);
    return {buffer.data(), static_cast<std::size_t>(e.out.at - buffer.data())};
}

void MosaicEncoder::State::emitGrouped(Emitter& e, std::size_t count) {
    colourGroups.sort(count);

    const int columns = width;
    const int terminalColumns = layout.terminalColumns;
    const int leftColumn = baseColumn;
    const int topRow = baseRow;
    const MosaicCell* const look = shown.data();
    std::uint8_t* const waiting = pending.data();
    const auto emitCell = [&](Place place) {
        const int r = static_cast<int>(place >> 16);
        const int c = static_cast<int>(place & 0xFFFF);
        const std::size_t rowStart = static_cast<std::size_t>(r) * static_cast<std::size_t>(columns);
        const int column = leftColumn + c;
        e.moveTo(topRow + r, column, look + rowStart, waiting + rowStart, leftColumn);
        e.put(look[rowStart + static_cast<std::size_t>(c)]);
        waiting[rowStart + static_cast<std::size_t>(c)] = 0;
        if (column + 1 < terminalColumns) {
            e.cursorColumn = column + 1;
        } else {
            e.cursorRow = e.cursorColumn = -1;
        }
    };
    const auto range = [&](const Place* begin, const Place* end) {
        for (; begin != end; ++begin) emitCell(*begin);
    };
    // The pen's colours, when they are among the sixteen.
    const auto penColour = [](std::uint32_t pen) { return pen < 16 ? static_cast<int>(pen) : -1; };
    colourGroups.visit(
        penColour(e.penBackground), [&] { return penColour(e.penForeground); }, range,
        [&](const Place* a, const Place* aEnd, const Place* b, const Place* bEnd) {
            while (a != aEnd || b != bEnd) emitCell(b == bEnd || (a != aEnd && *a < *b) ? *a++ : *b++);
        });
}

MosaicEncoder::MosaicEncoder(ColourMode mode, const FrameLayout& layout)
    : state(std::make_unique<State>(mode, layout)) {}
MosaicEncoder::~MosaicEncoder() = default;
MosaicEncoder::MosaicEncoder(MosaicEncoder&&) noexcept = default;
MosaicEncoder& MosaicEncoder::operator=(MosaicEncoder&&) noexcept = default;

void MosaicEncoder::setLayout(const FrameLayout& layout) { state->setLayout(layout); }
void MosaicEncoder::forgetScreen() { state->repaintAll = true; }
std::string_view MosaicEncoder::encode(CellView<MosaicCell> frame) { return state->encode(frame); }
const FrameLayout& MosaicEncoder::layout() const { return state->layout; }
ColourMode MosaicEncoder::colourMode() const { return state->mode; }

}  // namespace vantrel
