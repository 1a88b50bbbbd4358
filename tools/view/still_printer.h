// Showing a converted picture: printed inline, the way `cat` prints text,
// or drawn into a PNG picture, 8x12 pixels a cell.
#pragma once

#include <string>
#include <system_error>

#include "tools/output_file.h"
#include "tools/view/shown_picture.h"

namespace vantrel {

// Prints the picture at the cursor of the terminal (or whatever) on `fd`.
std::error_code printShown(int fd, const ShownPicture& shown, ColourMode mode);

// Encodes the picture as a PNG and writes it to `file` (colours as the VGA
// console shows them; half blocks as a terminal in `mode` shows them).
// Returns an empty string or one message naming the file and what went
// wrong.
std::string writeShownPng(const ShownPicture& shown, ColourMode mode, OutputFile& file);

}  // namespace vantrel
