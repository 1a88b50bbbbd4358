// Where a frame of cells lands on a terminal: at a given cell, or centred.
// The part of the frame outside the terminal is cut off, so that the output
// never wraps or scrolls.
#pragma once

namespace vantrel {

struct FrameLayout {
    int frameColumns = 0;
    int frameRows = 0;
    int terminalColumns = 1;
    int terminalRows = 1;
    // Terminal cell of frame cell (0, 0); negative when the frame is cut on
    // the left or at the top.
    int originColumn = 0;
    int originRow = 0;
    // The frame cells shown, inclusive; none when first > last.
    int firstColumn = 0;
    int lastColumn = -1;
    int firstRow = 0;
    int lastRow = -1;

    int shownColumns() const { return lastColumn >= firstColumn ? lastColumn - firstColumn + 1 : 0; }
    int shownRows() const { return lastRow >= firstRow ? lastRow - firstRow + 1 : 0; }
};

// Every side is taken as at most this many cells (a terminal at least 1, a
// frame at least 0), and an origin as at most this far off: every cursor
// position then has at most four digits.
inline constexpr int maxTerminalSide = 9999;

// The frame with its cell (0, 0) at terminal cell (originColumn, originRow).
FrameLayout placeFrame(int frameColumns, int frameRows, int terminalColumns, int terminalRows, int originColumn,
                       int originRow);

// The frame centred on the terminal; on a smaller terminal its middle part.
// An odd surplus or shortfall puts the extra column (row) on the right
// (bottom) of the frame.
FrameLayout centreFrame(int frameColumns, int frameRows, int terminalColumns, int terminalRows);

}  // namespace vantrel
