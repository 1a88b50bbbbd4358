// Where the 80x50 frame lands in a terminal of any size: centred in a larger
// one, its middle part shown in a smaller one, never wrapping or scrolling.
#pragma once

namespace vantrel {

struct FrameLayout {
    int terminalColumns = 0;
    int terminalRows = 0;
    // Terminal position of frame cell (0, 0); negative when the frame is cropped.
    int originColumn = 0;
    int originRow = 0;
    // The frame cells shown, inclusive; empty when first > last.
    int firstColumn = 0;
    int lastColumn = -1;
    int firstRow = 0;
    int lastRow = -1;
};

// Sizes below 1 are taken as 1; the largest size is clamped as well, so that
// every cursor position has at most five digits.
inline constexpr int maxTerminalSide = 9999;

FrameLayout layoutFrame(int terminalColumns, int terminalRows);

}  // namespace vantrel
