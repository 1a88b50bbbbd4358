// Showing a converted picture: printed inline, the way `cat` prints text,
// or drawn into a PNG picture, 8x12 pixels a cell.
#pragma once

#include <string>
#include <system_error>

#include "tools/output_file.h"
#include "tools/view/view_picture.h"

namespace vantrel {

// Prints the picture at the cursor of the terminal (or whatever) on `fd`.
std::error_code printShown(int fd, const ShownPicture& shown);

// Encodes the picture as a PNG and writes it to `file` (console cells in the
// colours of the VGA console, half blocks as a terminal in the picture's
// colour mode shows them). Returns an empty string or one message naming the
// file and what went wrong.
std::string writeShownPng(const ShownPicture& shown, OutputFile& file);

}  // namespace vantrel
