#include "console/terminal/frame_encoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

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

// Bytes needed to reprint the unchanged frame cells [fromColumn, toColumn) of
// a row with the current colours, or `unreachable` when one of them needs
// another colour.
int FrameEncoder::reprintCost(int frameRow, int fromColumn, int toColumn) const {
    int cost = 0;
    for (int c = fromColumn; c < toColumn; ++c) {
        const Cell cell = shown[static_cast<std::size_t>(frameRow * cellColumns + c)];
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

std::string_view FrameEncoder::encode(const Cell* frame) {
    ByteWriter out(buffer.data(), buffer.size());
    const FrameLayout& l = frameLayout;
    bool started = false;
    if (repaintAll) {
        // Default colours for the margins around a centred frame.
        out.put("\x1b[?2026h\x1b[0m\x1b[2J");
        started = true;
        cursor = {};
        penForeground = -1;
        penBackground = -1;
    }
    for (int r = l.firstRow; r <= l.lastRow; ++r) {
        const int terminalRow = r + l.originRow;
        const std::size_t rowStart = static_cast<std::size_t>(r * cellColumns);
        if (!repaintAll && std::memcmp(&frame[rowStart], &previous[rowStart], cellColumns * sizeof(Cell)) == 0) continue;
        for (int c = l.firstColumn; c <= l.lastColumn; ++c) {
            const auto index = rowStart + static_cast<std::size_t>(c);
            if (!repaintAll && frame[index] == previous[index]) continue;
            const Cell want = visibleCell(frame[index]);
            if (!repaintAll && shown[index] == want) continue;
            if (!started) {
                out.put("\x1b[?2026h");
                started = true;
            }
            const int terminalColumn = c + l.originColumn;
            moveTo(out, terminalRow, terminalColumn, r);
            writeCell(out, want);
            shown[index] = want;
            // With autowrap off a terminal keeps the cursor on its last column;
            // not all agree on where it is then, so it is taken as unknown.
            cursor.column = terminalColumn + 1 < l.terminalColumns ? terminalColumn + 1 : -1;
            if (cursor.column < 0) cursor.row = -1;
        }
    }
    if (started) out.put("\x1b[?2026l");
    std::memcpy(previous.data(), frame, sizeof previous);
    repaintAll = false;
    return out.view();
}
