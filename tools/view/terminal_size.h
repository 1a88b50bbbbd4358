// The size of the terminal a picture is shown on.
#pragma once

#include "vantrel/terminal_colours.h"
#include "tools/view/view_options.h"

namespace vantrel {

// The size of the terminal on standard output; when that is not a
// terminal, COLUMNS and LINES from the environment; else 80x24.
Extent outputTerminalSize();

// `choice` made definite: auto is the mode the environment announces when
// standard output is a terminal, and 16 colours otherwise.
ColourMode resolveColours(ColourChoice choice);

// Whether the backgrounds are limited to the eight dark colours at sixteen
// colours (`mode`, as resolveColours gave it): for 16/8, and for auto on a
// terminal whose TERM is linux (the Linux console shows no bright
// backgrounds).
bool eightBackgrounds(ColourChoice choice, ColourMode mode);

}  // namespace vantrel
