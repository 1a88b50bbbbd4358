// The sixteen colours that pictures at sixteen colours are chosen for.
#pragma once

#include <optional>

#include "vantrel/colour_mode.h"
#include "vantrel/palette.h"

namespace vantrel {

// The palette the user named (--palette) when there is one. Otherwise,
// when the colours are the terminal's own sixteen and standard output is a
// terminal, the terminal's palette as it answers the one terminal exchange
// (outputTerminalAnswers), if it answers all sixteen; else VGA's.
// Asks the terminal only in that case, so that output to a file or pipe
// never waits on a terminal.
Palette picturePalette(const std::optional<Palette>& named, ColourMode mode);

}  // namespace vantrel
