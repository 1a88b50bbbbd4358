// Which cells WriteConsoleOutputA writes: the one rule for every host.
//
// The source is a block of bufferSize.X x bufferSize.Y records; region cell
// (x, y) takes the record at (bufferCoord.X + x - Left, bufferCoord.Y + y -
// Top). A cell is written when it lies in the region, on the screen, and
// its record in the block; that is always a rectangle. A negative
// bufferCoord is no exception: the region cells whose record would lie
// before the block are left out, like those whose record would lie past it.
#pragma once

#include <algorithm>

#include "console/win32.h"

namespace vantrel {

struct ClippedWrite {
    // The screen cells written, inclusive; (0, 0, -1, -1) when none. It is
    // what the call reports back as the region written.
    SMALL_RECT written;
    // The record of the written rectangle's top-left cell.
    int sourceColumn;
    int sourceRow;

    bool empty() const { return written.Right < written.Left; }
};

// The write of `region` from the block to a screen of the given size.
inline ClippedWrite clipWrite(int screenColumns, int screenRows, COORD bufferSize, COORD bufferCoord,
                              const SMALL_RECT& region) {
    const int left = std::max({0, int{region.Left}, region.Left - bufferCoord.X});
    const int top = std::max({0, int{region.Top}, region.Top - bufferCoord.Y});
    const int right = std::min({screenColumns - 1, int{region.Right}, region.Left + bufferSize.X - 1 - bufferCoord.X});
    const int bottom = std::min({screenRows - 1, int{region.Bottom}, region.Top + bufferSize.Y - 1 - bufferCoord.Y});
    if (right < left || bottom < top) return {SMALL_RECT{0, 0, -1, -1}, 0, 0};
    // Inside the screen, so each fits a SHORT.
    return {SMALL_RECT{static_cast<SHORT>(left), static_cast<SHORT>(top), static_cast<SHORT>(right),
                       static_cast<SHORT>(bottom)},
            bufferCoord.X + left - region.Left, bufferCoord.Y + top - region.Top};
}

}  // namespace vantrel
