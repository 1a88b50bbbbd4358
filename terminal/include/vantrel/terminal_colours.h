// Colours on a terminal: the SGR sequence that sets a foreground and a
// background in any colour mode (vantrel/colour_mode.h).
#pragma once

#include <cstddef>
#include <optional>

#include "vantrel/colour_mode.h"

namespace vantrel {

// The longest sequence writeSgr produces: both colours in truecolor.
inline constexpr std::size_t maxSgrBytes = 36;

// Writes the one SGR sequence ("ESC [ ... m") that sets the foreground
// and/or the background given; nothing when both are empty. Returns its
// length; writes it only when that fits in `capacity` (else writes nothing).
std::size_t writeSgr(std::optional<TerminalColour> foreground, std::optional<TerminalColour> background, char* out,
                     std::size_t capacity);

}  // namespace vantrel
