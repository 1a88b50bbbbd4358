#include "vantrel/frame_layout.h"

#include <algorithm>

namespace vantrel {

namespace {

// Floor of (terminal - frame) / 2, so that an odd surplus or shortfall leaves
// the extra column on the same side whether the terminal is larger or smaller.
int centreOffset(int terminal, int frame) {
    const int d = terminal - frame;
    return d >= 0 ? d / 2 : -((-d + 1) / 2);
}

}  // namespace

FrameLayout placeFrame(int frameColumns, int frameRows, int terminalColumns, int terminalRows, int originColumn,
                       int originRow) {
    FrameLayout l;
    l.frameColumns = std::clamp(frameColumns, 0, maxTerminalSide);
    l.frameRows = std::clamp(frameRows, 0, maxTerminalSide);
    l.terminalColumns = std::clamp(terminalColumns, 1, maxTerminalSide);
    l.terminalRows = std::clamp(terminalRows, 1, maxTerminalSide);
    l.originColumn = std::clamp(originColumn, -maxTerminalSide, maxTerminalSide);
    l.originRow = std::clamp(originRow, -maxTerminalSide, maxTerminalSide);
    l.firstColumn = std::max(0, -l.originColumn);
    l.lastColumn = std::min(l.frameColumns - 1, l.terminalColumns - 1 - l.originColumn);
    l.firstRow = std::max(0, -l.originRow);
    l.lastRow = std::min(l.frameRows - 1, l.terminalRows - 1 - l.originRow);
    return l;
}

FrameLayout centreFrame(int frameColumns, int frameRows, int terminalColumns, int terminalRows) {
    const int columns = std::clamp(frameColumns, 0, maxTerminalSide);
    const int rows = std::clamp(frameRows, 0, maxTerminalSide);
    const int terminalC = std::clamp(terminalColumns, 1, maxTerminalSide);
    const int terminalR = std::clamp(terminalRows, 1, maxTerminalSide);
    return placeFrame(columns, rows, terminalC, terminalR, centreOffset(terminalC, columns),
                      centreOffset(terminalR, rows));
}

}  // namespace vantrel
