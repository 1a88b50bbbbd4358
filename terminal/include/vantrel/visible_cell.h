// A cell as a terminal shows it.
#pragma once

#include <cstdint>

#include "vantrel/cell.h"

namespace vantrel {

// A cell whose glyph is blank (code 0, 32 or 255) or whose foreground equals
// its background shows only its background colour: it becomes a space with
// foreground = background. Other cells are returned as they are. Two cells
// look the same on a terminal exactly when their visible cells are equal.
constexpr Cell visibleCell(Cell c) {
    const int character = cellCharacter(c);
    const int background = cellBackground(c);
    if (cellForeground(c) == background || character == 0 || character == 32 || character == 255) {
        return makeCell(32, static_cast<std::uint8_t>(background * 0x11));
    }
    return c;
}

}  // namespace vantrel
