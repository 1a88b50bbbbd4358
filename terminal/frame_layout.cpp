#include "vantrel/frame_layout.h"

#include <algorithm>

#include "vantrel/cell.h"

namespace vantrel {

namespace {

// Floor of (a - b) / 2, so that an odd surplus or shortfall leaves the extra
// column on the same side whether the terminal is larger or smaller.
int centreOffset(int terminal, int frame) {
    const int d = terminal - frame;
    return d >= 0 ? d / 2 : -((-d + 1) / 2);
}

}  // namespace

FrameLayout layoutFrame(int terminalColumns, int terminalRows) {
    FrameLayout l;
    l.terminalColumns = std::clamp(terminalColumns, 1, maxTerminalSide);
    l.terminalRows = std::clamp(terminalRows, 1, maxTerminalSide);
    l.originColumn = centreOffset(l.terminalColumns, cellColumns);
    l.originRow = centreOffset(l.terminalRows, cellRows);
    l.firstColumn = std::max(0, -l.originColumn);
    l.lastColumn = std::min(cellColumns - 1, l.terminalColumns - 1 - l.originColumn);
    l.firstRow = std::max(0, -l.originRow);
    l.lastRow = std::min(cellRows - 1, l.terminalRows - 1 - l.originRow);
    return l;
}

}  // namespace vantrel
