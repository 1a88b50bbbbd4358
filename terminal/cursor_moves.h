// Cursor moves on a terminal, each the cheapest in bytes of the sequences
// that reach the cell. Positions are 0-based, distances and positions below
// the largest number given to resize().
#pragma once

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "terminal/output_cursor.h"

namespace vantrel {

class CursorMoves {
public:
    // The longest move: "ESC [ row ; column H" with four digits each.
    static constexpr int maxBytes = 12;

    // Makes the tables for a terminal of this size (sides at most 9999).
    void resize(int columns, int rows);

    // Bytes of "ESC [ n X", where n = 1 may be left out.
    int csiCost(unsigned n) const { return n == 1 ? 3 : 3 + decimals[n].size; }
    void csi(OutputCursor& out, unsigned n, char final) const {
        out.put("\x1b[");
        if (n != 1) number(out, n);
        out.put(final);
    }

    // The cheapest move from (fromRow, fromColumn) to (row, column):
    // absolute, or vertical (relative or absolute) then horizontal (relative,
    // absolute, or carriage return and forward). A negative from-position is
    // unknown.
    void move(OutputCursor& out, int fromRow, int fromColumn, int row, int column) const {
        if (fromRow < 0 || fromColumn < 0) {
            absolute(out, row, column);
            return;
        }
        int vertical = 0;
        char verticalFinal = 0;  // 'A', 'B' (relative) or 'd' (absolute)
        unsigned verticalNumber = 0;
        if (row != fromRow) {
            const unsigned distance = static_cast<unsigned>(std::abs(row - fromRow));
            vertical = csiCost(distance);
            verticalFinal = row > fromRow ? 'B' : 'A';
            verticalNumber = distance;
            if (csiCost(static_cast<unsigned>(row + 1)) < vertical) {
                vertical = csiCost(static_cast<unsigned>(row + 1));
                verticalFinal = 'd';
                verticalNumber = static_cast<unsigned>(row + 1);
            }
        }
        // Along the row: absolute, carriage return (and forward), or relative.
        int horizontal = 0;
        char horizontalFinal = 0;  // 'G', '\r', 'C' or 'D'
        unsigned horizontalNumber = 0;
        if (column != fromColumn) {
            horizontal = csiCost(static_cast<unsigned>(column + 1));
            horizontalFinal = 'G';
            horizontalNumber = static_cast<unsigned>(column + 1);
            const int carriageReturn = 1 + (column == 0 ? 0 : csiCost(static_cast<unsigned>(column)));
            if (carriageReturn < horizontal) {
                horizontal = carriageReturn;
                horizontalFinal = '\r';
                horizontalNumber = static_cast<unsigned>(column);
            }
            const unsigned distance = static_cast<unsigned>(std::abs(column - fromColumn));
            if (csiCost(distance) < horizontal) {
                horizontal = csiCost(distance);
                horizontalFinal = column > fromColumn ? 'C' : 'D';
                horizontalNumber = distance;
            }
        }
        if (vertical + horizontal >= absoluteCost(row, column)) {
            absolute(out, row, column);
            return;
        }
        if (verticalFinal != 0) csi(out, verticalNumber, verticalFinal);
        if (horizontalFinal == '\r') {
            out.put('\r');
            if (horizontalNumber != 0) csi(out, horizontalNumber, 'C');
        } else if (horizontalFinal != 0) {
            csi(out, horizontalNumber, horizontalFinal);
        }
    }

private:
    // Bytes of "ESC [ row ; column H" with defaults left out: the part up to
    // the row number, and the rest.
    int absoluteCost(int row, int column) const {
        return rowParts[static_cast<std::size_t>(row)].size + columnParts[static_cast<std::size_t>(column)].size;
    }
    void absolute(OutputCursor& out, int row, int column) const {
        const Part& r = rowParts[static_cast<std::size_t>(row)];
        const Part& c = columnParts[static_cast<std::size_t>(column)];
        out.putPadded<sizeof r.text>(r.text, r.size);
        out.putPadded<sizeof c.text>(c.text, c.size);
    }
    void number(OutputCursor& out, unsigned n) const {
        const Decimal& d = decimals[n];
        out.putPadded<sizeof d.text>(d.text, d.size);
    }

    struct Decimal {
        char text[7];
        std::uint8_t size;
    };
    // "ESC [ row" (the row left out for the first) and "; column H" (only "H"
    // for the first column), for every terminal row and column.
    struct Part {
        char text[7];
        std::uint8_t size;
    };
    std::vector<Decimal> decimals;
    std::vector<Part> rowParts;
    std::vector<Part> columnParts;
};

}  // namespace vantrel
