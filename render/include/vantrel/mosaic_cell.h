// A terminal cell of any character in any two colours: what pictures become
// (a block symbol and the two colours that best show the pixels under it),
// where a console Cell, a code page 437 character and two of sixteen
// colours, cannot hold one.
#pragma once

#include <cstdint>

namespace vantrel {

// `foreground` and `background` are colours as a terminal in the grid's
// colour mode is told them (TerminalColour::value, vantrel/colour_mode.h):
// an ANSI colour 0..15, an xterm palette index 16..255, or 0xRRGGBB.
struct MosaicCell {
    char32_t character = U' ';
    std::uint32_t foreground = 0;
    std::uint32_t background = 0;

    friend bool operator==(const MosaicCell&, const MosaicCell&) = default;
};

}  // namespace vantrel
