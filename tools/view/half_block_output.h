// Half-block output (the blocks renderer) on a terminal: inline for
// pictures, full-screen with diffing for video.
//
// THIS IS THE ONE PLACE WHERE BLOCKS OUTPUT MEETS THE TERMINAL. The printer
// and the diffing encoder for half blocks belong in Vantrel::terminal; until
// they are there, blocksOnTerminal() is false, the blocks renderer can be
// written to a PNG (--png) and judged, and the functions below report that
// they cannot show it.
#pragma once

#include <string_view>
#include <system_error>

#include "vantrel/frame_layout.h"
#include "tools/view/shown_picture.h"

namespace vantrel {

// Whether this build can show the blocks renderer on a terminal.
bool blocksOnTerminal();

// Prints the half blocks of `shown` inline on `fd`.
std::error_code printHalfBlocks(int fd, const ShownPicture& shown, ColourMode mode);

// Full screen: the bytes that bring the terminal to `shown`, placed by
// `layout` (frame size in cells); only what changed.
class HalfBlockScreen {
public:
    HalfBlockScreen(ColourMode mode, const FrameLayout& layout);
    void setLayout(const FrameLayout& layout);
    void forgetScreen();
    std::string_view encode(const ShownPicture& shown);
};

}  // namespace vantrel
