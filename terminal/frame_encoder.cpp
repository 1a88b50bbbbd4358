#include "vantrel/frame_encoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vantrel {

namespace {

constexpr int unreachable = 1 << 20;

// Bytes of "ESC [ n X", where n = 1 may be left out.
constexpr int csiCost(unsigned n) { return n == 1 ? 3 : 3 + decimalDigits(n); }

void csi(ByteWriter& out, unsigned n, char final) {
    out.put("\x1b[");
    if (n != 1) out.number(n);
    out.put(final);
}

enum class Horizontal { none, forward, back, absolute, carriageReturn };

struct HorizontalMove {
    Horizontal kind = Horizontal::none;
    int cost = 0;
};

// The cheapest way along one row from column `from` (-1: unknown) to `to`.
HorizontalMove horizontalMove(int from, int to) {
    if (from == to) return {};
    HorizontalMove best{Horizontal::absolute, csiCost(static_cast<unsigned>(to + 1))};
    auto consider = [&](Horizontal kind, int cost) {
        if (cost < best.cost) best = {kind, cost};
    };
    consider(Horizontal::carriageReturn, 1 + (to == 0 ? 0 : csiCost(static_cast<unsigned>(to))));
    if (from >= 0 && to > from) consider(Horizontal::forward, csiCost(static_cast<unsigned>(to - from)));
    if (from >= 0 && to < from) consider(Horizontal::back, csiCost(static_cast<unsigned>(from - to)));
    return best;
}

void writeHorizontal(ByteWriter& out, HorizontalMove move, int from, int to) {
    switch (move.kind) {
        case Horizontal::none:
            break;
        case Horizontal::forward:
            csi(out, static_cast<unsigned>(to - from), 'C');
            break;
        case Horizontal::back:
            csi(out, static_cast<unsigned>(from - to), 'D');
            break;
        case Horizontal::absolute:
            csi(out, static_cast<unsigned>(to + 1), 'G');
            break;
        case Horizontal::carriageReturn:
            out.put('\r');
            if (to != 0) csi(out, static_cast<unsigned>(to), 'C');
            break;
    }
}

// Bytes of the absolute move "ESC [ row ; column H" with defaults left out.
int absoluteCost(int row, int column) {
    if (column == 0) return row == 0 ? 3 : 3 + decimalDigits(static_cast<unsigned>(row + 1));
    const int columnPart = decimalDigits(static_cast<unsigned>(column + 1));
    return row == 0 ? 4 + columnPart : 4 + decimalDigits(static_cast<unsigned>(row + 1)) + columnPart;
}

void writeAbsolute(ByteWriter& out, int row, int column) {
    out.put("\x1b[");
    if (row != 0) out.number(static_cast<unsigned>(row + 1));
    if (column != 0) {
        out.put(';');
        out.number(static_cast<unsigned>(column + 1));
    }
    out.put('H');
}

}  // namespace

FrameEncoder::FrameEncoder(ColourMode colourMode, const GlyphTable& glyphTable, int terminalColumns,
                           int terminalRows)
    : mode(colourMode), glyphs(glyphTable), frameLayout(layoutFrame(terminalColumns, terminalRows)) {
    for (int fg = 0; fg <= 16; ++fg) {
        for (int bg = 0; bg <= 16; ++bg) {
            ColourCode& code = colourCodes[static_cast<std::size_t>(fg * 17 + bg)];
            ByteWriter w(code.bytes, sizeof code.bytes);
            writeColours(w, mode, fg == 16 ? -1 : fg, bg == 16 ? -1 : bg);
            code.size = static_cast<std::uint8_t>(w.size());
        }
    }
}

void FrameEncoder::resize(int terminalColumns, int terminalRows) {
    frameLayout = layoutFrame(terminalColumns, terminalRows);
    repaintAll = true;
}

// Bytes needed to reprint the frame cells [fromColumn, toColumn) of a row as
// the terminal shows them, with the current colours; `unreachable` when one
// of them needs other colours or is still to be written.
int FrameEncoder::reprintCost(int frameRow, int fromColumn, int toColumn) const {
    int cost = 0;
    for (int c = fromColumn; c < toColumn; ++c) {
        const auto index = static_cast<std::size_t>(frameRow * cellColumns + c);
        if (pending[index]) return unreachable;  // the terminal does not show it yet
        const Cell cell = shown[index];
        const int background = cell >> 12;
        if (background != penBackground) return unreachable;
        const int character = cell & 0xFF;
        if (character != 32 && ((cell >> 8) & 0x0F) != penForeground) return unreachable;
        cost += glyphs[static_cast<std::size_t>(character)].size;
    }
    return cost;
}

void FrameEncoder::moveTo(ByteWriter& out, int row, int column, int frameRow) {
    if (cursor.row == row) {
        if (cursor.column == column) return;
        // Forward along the row (the usual case): a relative move is never
        // beaten by an absolute one or a carriage return, only perhaps by
        // reprinting the cells in between.
        if (cursor.column >= 0 && column > cursor.column) {
            const int gap = column - cursor.column;
            const int from = cursor.column - frameLayout.originColumn;
            const int to = column - frameLayout.originColumn;
            constexpr int reprintReach = 6;
            if (gap <= reprintReach && reprintCost(frameRow, from, to) <= csiCost(static_cast<unsigned>(gap))) {
                for (int c = from; c < to; ++c) {
                    const GlyphBytes& g = glyphs[static_cast<std::size_t>(
                        shown[static_cast<std::size_t>(frameRow * cellColumns + c)] & 0xFF)];
                    out.putPadded<sizeof g.bytes>(g.bytes, g.size);
                }
            } else {
                csi(out, static_cast<unsigned>(gap), 'C');
            }
            cursor.column = column;
            return;
        }
    }

    // Candidates: absolute; vertical (relative or absolute) then horizontal.
    int best = absoluteCost(row, column);
    enum class Way { absolute, verticalThenHorizontal } way = Way::absolute;

    const bool known = cursor.row >= 0 && cursor.column >= 0;
    bool verticalAbsolute = false;
    HorizontalMove horizontal{};
    if (known) {
        int verticalCost = 0;
        if (row != cursor.row) {
            const int relative = csiCost(static_cast<unsigned>(std::abs(row - cursor.row)));
            const int absolute = csiCost(static_cast<unsigned>(row + 1));
            verticalAbsolute = absolute < relative;
            verticalCost = std::min(relative, absolute);
        }
        horizontal = horizontalMove(cursor.column, column);
        if (verticalCost + horizontal.cost < best) {
            best = verticalCost + horizontal.cost;
            way = Way::verticalThenHorizontal;
        }
    }

    switch (way) {
        case Way::absolute:
            writeAbsolute(out, row, column);
            break;
        case Way::verticalThenHorizontal:
            if (row != cursor.row) {
                if (verticalAbsolute) {
                    csi(out, static_cast<unsigned>(row + 1), 'd');
                } else {
                    csi(out, static_cast<unsigned>(std::abs(row - cursor.row)), row > cursor.row ? 'B' : 'A');
                }
            }
            writeHorizontal(out, horizontal, cursor.column, column);
            break;
    }
    cursor = {row, column};
}

void FrameEncoder::writeCell(ByteWriter& out, Cell cell) {
    const int character = cell & 0xFF;
    const int foreground = (cell >> 8) & 0x0F;
    const int background = cell >> 12;
    // A space shows only its background, whatever the foreground.
    const int newForeground = character != 32 && foreground != penForeground ? foreground : -1;
    const int newBackground = background != penBackground ? background : -1;
    const ColourCode& code =
        colourCodes[static_cast<std::size_t>((newForeground < 0 ? 16 : newForeground) * 17 +
                                             (newBackground < 0 ? 16 : newBackground))];
    out.putPadded<sizeof code.bytes>(code.bytes, code.size);
    if (newForeground >= 0) penForeground = newForeground;
    if (newBackground >= 0) penBackground = newBackground;
    const GlyphBytes& g = glyphs[static_cast<std::size_t>(character)];
    out.putPadded<sizeof g.bytes>(g.bytes, g.size);
}

void FrameEncoder::emitCell(ByteWriter& out, std::size_t index) {
    const int frameRow = static_cast<int>(index) / cellColumns;
    const int terminalRow = frameRow + frameLayout.originRow;
    const int terminalColumn = static_cast<int>(index) % cellColumns + frameLayout.originColumn;
    moveTo(out, terminalRow, terminalColumn, frameRow);
    writeCell(out, shown[index]);
    pending[index] = false;
    // With autowrap off a terminal keeps the cursor on its last column; not
    // all agree on where it is then, so it is taken as unknown.
    if (terminalColumn + 1 < frameLayout.terminalColumns) {
        cursor.column = terminalColumn + 1;
    } else {
        cursor = {};
    }
}

std::size_t FrameEncoder::colourKey(Cell cell) {
    const auto background = static_cast<std::size_t>(cell >> 12);
    return background * 17 + ((cell & 0xFF) == 32 ? 16 : static_cast<std::size_t>((cell >> 8) & 0x0F));
}

void FrameEncoder::emitBucket(ByteWriter& out, std::size_t key) {
    for (std::size_t i = bucketStart[key]; i < bucketStart[key + 1]; ++i) emitCell(out, order[i]);
}

// Two groups that the same colours show, together in screen order.
void FrameEncoder::emitMerged(ByteWriter& out, std::size_t keyA, std::size_t keyB) {
    std::size_t a = bucketStart[keyA];
    std::size_t b = bucketStart[keyB];
    const std::size_t endA = bucketStart[keyA + 1];
    const std::size_t endB = bucketStart[keyB + 1];
    while (a < endA || b < endB) {
        if (b == endB || (a < endA && order[a] < order[b])) {
            emitCell(out, order[a++]);
        } else {
            emitCell(out, order[b++]);
        }
    }
}

std::string_view FrameEncoder::encode(const Cell* frame) {
    ByteWriter out(buffer.data(), buffer.size());
    const FrameLayout& l = frameLayout;
    if (repaintAll) {
        // Everything in screen order, on a cleared screen whose margins
        // around a centred frame keep the default colours.
        out.put("\x1b[?2026h\x1b[0m\x1b[2J");
        cursor = {};
        penForeground = -1;
        penBackground = -1;
        for (int r = l.firstRow; r <= l.lastRow; ++r) {
            for (int c = l.firstColumn; c <= l.lastColumn; ++c) {
                const auto index = static_cast<std::size_t>(r * cellColumns + c);
                shown[index] = visibleCell(frame[index]);
                emitCell(out, index);
            }
        }
        out.put("\x1b[?2026l");
        repaintAll = false;
        std::memcpy(previous.data(), frame, sizeof previous);
        return out.view();
    }

    // The cells that look different from what the terminal shows.
    std::size_t count = 0;
    for (int r = l.firstRow; r <= l.lastRow; ++r) {
        const auto rowStart = static_cast<std::size_t>(r * cellColumns);
        if (std::memcmp(&frame[rowStart], &previous[rowStart], cellColumns * sizeof(Cell)) == 0) continue;
        for (int c = l.firstColumn; c <= l.lastColumn; ++c) {
            const auto index = rowStart + static_cast<std::size_t>(c);
            if (frame[index] == previous[index]) continue;
            const Cell want = visibleCell(frame[index]);
            if (shown[index] == want) continue;
            shown[index] = want;
            pending[index] = true;
            dirty[count++] = static_cast<std::uint16_t>(index);
        }
    }
    std::memcpy(previous.data(), frame, sizeof previous);
    if (count == 0) return {};

    // They go out grouped by the colours they need, each group in screen
    // order: a colour code costs more than the cursor moves this adds (in
    // truecolor several times more). Background by background, starting
    // with the current one; within one, the blank cells together with those
    // in the current foreground, then each other foreground.
    bucketStart.fill(0);
    for (std::size_t i = 0; i < count; ++i) ++bucketStart[colourKey(shown[dirty[i]]) + 1];
    for (std::size_t k = 1; k < bucketStart.size(); ++k) bucketStart[k] += bucketStart[k - 1];
    bucketFill = bucketStart;
    for (std::size_t i = 0; i < count; ++i) order[bucketFill[colourKey(shown[dirty[i]])]++] = dirty[i];

    out.put("\x1b[?2026h");
    const int firstBackground = penBackground;
    for (int step = -1; step < 16; ++step) {
        const int background = step < 0 ? firstBackground : step;
        if (background < 0 || (step >= 0 && background == firstBackground)) continue;
        const std::size_t blank = static_cast<std::size_t>(background * 17 + 16);
        const int sameForeground = penForeground;
        if (sameForeground >= 0) {
            emitMerged(out, blank, static_cast<std::size_t>(background * 17 + sameForeground));
        } else {
            emitBucket(out, blank);
        }
        for (int fg = 0; fg < 16; ++fg) {
            if (fg != sameForeground) emitBucket(out, static_cast<std::size_t>(background * 17 + fg));
        }
    }
    out.put("\x1b[?2026l");
    return out.view();
}

}  // namespace vantrel
