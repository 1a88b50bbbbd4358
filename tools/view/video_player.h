// Raw video: frames of W x H pixels, 3 bytes a pixel (red, green, blue), one
// after another with nothing between, as `ffmpeg -f rawvideo -pix_fmt rgb24`
// writes them.
#pragma once

#include <string>

#include "tools/output_file.h"
#include "tools/view/view_options.h"

namespace vantrel {

// Plays the video read from `frameFd` full-screen on the terminal (standard
// input and output, which must both be terminals): on the alternate screen
// with the diffing encoder, refitted when the terminal is resized, paced at
// options.fps or as frames arrive (at most 100 a second), until the input
// ends or Escape or q is pressed (Ctrl-C ends the program through its
// signal). The terminal is restored on every way out. Returns an empty
// string, or what went wrong (a read error, or the input ending in the
// middle of a frame) once the terminal is back.
std::string playVideo(const ViewOptions& options, int frameFd);

// Converts every frame as playVideo would for a terminal of the size of
// outputTerminalSize(), without one, and writes the last one to `png`.
// Returns an empty string or what is wrong with the video; when the picture
// cannot be written, sets `outputFailed` and returns that message, which
// names the output.
std::string videoToPng(const ViewOptions& options, int frameFd, OutputFile& png, bool& outputFailed);

}  // namespace vantrel
