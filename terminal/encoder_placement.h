// What both diffing encoders (frame_encoder.h, half_blocks.h) keep of where
// their frame lands on the terminal and of the terminal's cursor.
#pragma once

#include <cstddef>

#include "terminal/cursor_moves.h"
#include "vantrel/frame_layout.h"

namespace vantrel {

struct EncoderPlacement {
    FrameLayout layout;
    CursorMoves moves;
    // The shown cells: width x height from frame cell (firstColumn,
    // firstRow), which is terminal cell (baseColumn, baseRow).
    int width = 0;
    int height = 0;
    int baseColumn = 0;
    int baseRow = 0;
    bool repaintAll = true;
    // Where the terminal's cursor is after the last frame; -1: unknown.
    int cursorRow = -1;
    int cursorColumn = -1;

    // Takes the layout (through placeFrame, so that any values are safe),
    // makes the cursor moves for its terminal and asks for a repaint.
    // Returns the number of shown cells.
    std::size_t place(const FrameLayout& l) {
        layout = placeFrame(l.frameColumns, l.frameRows, l.terminalColumns, l.terminalRows, l.originColumn,
                            l.originRow);
        width = layout.shownColumns();
        height = layout.shownRows();
        baseColumn = layout.originColumn + layout.firstColumn;
        baseRow = layout.originRow + layout.firstRow;
        moves.resize(layout.terminalColumns, layout.terminalRows);
        repaintAll = true;
        return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    }
};

}  // namespace vantrel
