// Colour modes: the three ways a terminal can be told a colour, which of
// them a terminal takes, and the colour a console colour or any RGB colour
// becomes in each.
#pragma once

#include <cstdint>

#include "vantrel/vga_colours.h"

namespace vantrel {

enum class ColourMode {
    ansi16,     // the terminal's own sixteen colours (SGR 30-37, 90-97)
    ansi256,    // xterm's 256-colour palette (SGR 38;5;n)
    truecolor,  // 24-bit colours (SGR 38;2;r;g;b)
};

// The mode a terminal announces through its environment: truecolor when
// COLORTERM is "truecolor" or "24bit"; else 256 colours when TERM names a
// 256-colour terminal (contains "256color", as xterm-256color does); else
// sixteen. Either string may be null (the variable is not set).
ColourMode detectColourMode(const char* colorterm, const char* term);
// The same for this process's COLORTERM and TERM.
ColourMode colourModeFromEnvironment();

// A colour as a terminal in `mode` is told it: an ANSI colour 0..15
// (ansi16), an xterm palette index 16..255 (ansi256) or 0xRRGGBB (truecolor).
struct TerminalColour {
    ColourMode mode = ColourMode::ansi16;
    std::uint32_t value = 0;

    friend bool operator==(const TerminalColour&, const TerminalColour&) = default;
};

// Console colour 0..15 (blue in bit 0, red in bit 2; higher bits are
// ignored): in ansi16 the terminal's own colour of that name (ANSI puts red
// in bit 0), in ansi256 the palette colour nearest its VGA colour, in
// truecolor the VGA colour itself.
TerminalColour consoleColour(ColourMode mode, int colour);

// Any colour: the nearest of the sixteen VGA colours (ansi16), the nearest
// of xterm's 6x6x6 cube and 24 greys (ansi256; the palette's first sixteen
// differ from terminal to terminal and are not used), or exactly (truecolor).
// Nearest by squared distance with red, green and blue weighted 3, 4 and 2;
// on a tie the lower index wins.
TerminalColour nearestColour(ColourMode mode, Rgb colour);

// What the terminal shows for a colour: xterm's standard values for
// palette indexes 16..255, the VGA colour for an ANSI colour 0..15, the
// colour itself in truecolor.
Rgb shownColour(TerminalColour colour);

}  // namespace vantrel
