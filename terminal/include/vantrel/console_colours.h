// The sixteen console colours as terminal colour codes (SGR).
#pragma once

#include <array>
#include <cstdint>

#include "vantrel/byte_writer.h"
#include "vantrel/vga_colours.h"

namespace vantrel {

enum class ColourMode {
    ansi16,     // the terminal's own sixteen colours
    truecolor,  // the exact VGA console colours as 24-bit colours
};

// Truecolor when COLORTERM (the value given, may be null) is "truecolor" or "24bit".
ColourMode colourModeFromEnvironment(const char* colorterm);

// A console colour index has blue in bit 0 and red in bit 2; ANSI orders red,
// green, blue the other way round. Bit 3 (bright) is kept.
constexpr int ansiColour(int consoleColour) {
    return ((consoleColour & 1) << 2) | (consoleColour & 2) | ((consoleColour & 4) >> 2) | (consoleColour & 8);
}

// Writes one SGR sequence that sets the foreground and/or the background
// (a negative index leaves that one as it is); writes nothing when both are negative.
void writeColours(ByteWriter& out, ColourMode mode, int foreground, int background);

// The longest sequence writeColours can produce.
inline constexpr int maxColourBytes = 40;

}  // namespace vantrel
