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

// Encodes the picture as a PNG and writes it to `file`: the shade and glyph
// renderers' console cells in the console's font and the VGA console's
// colours; the mosaic's cells (blocks too) by their symbols' geometry, in
// the colours a terminal in the picture's colour mode, with its palette,
// shows. Returns an empty string or one message naming the
// file and what went wrong.
std::string writeShownPng(const ShownPicture& shown, OutputFile& file);

}  // namespace vantrel
