// Playing a video or animation file full-screen: each frame at its time
// against the monotonic clock, dropping frames when behind, looping
// animations as their file (or --loop) says, with pause and seeking.
#pragma once

#include <string>

#include "tools/output_file.h"
#include "tools/view/media/byte_reader.h"
#include "tools/view/media/media_source.h"
#include "tools/view/view_options.h"

namespace vantrel {

// Plays `source` on the terminal (standard input and output, which must both
// be terminals) until it ends, or q, Escape or Ctrl-C. Keys: Space pauses
// and resumes, Left and Right seek 5 s, Up and Down 60 s. A resize refits
// the frame on screen at once. `cancel` ends a read that waits on a pipe
// when the player quits. Returns an empty string, or what went wrong (the
// frames before it were shown, or the terminal gone, which sets
// terminalGone) once the terminal is back; `stats` gets the counts.
std::string playMedia(const ViewOptions& options, MediaSource& source, CancelPipe& cancel, PlaybackStats& stats,
                      bool& terminalGone);

// Converts the frames as playMedia would on a terminal of the size of
// outputTerminalSize(), without one, and writes the last to `png`.
// `outputFailed` tells a failure to write from one in the video.
std::string mediaToPng(const ViewOptions& options, MediaSource& source, OutputFile& png, bool& outputFailed);

// One line for --stats.
std::string statsLine(const PlaybackStats& stats);

}  // namespace vantrel
