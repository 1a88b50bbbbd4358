#include "vantrel/console_colours.h"

#include <cstring>

namespace vantrel {

ColourMode colourModeFromEnvironment(const char* colorterm) {
    if (colorterm != nullptr && (std::strcmp(colorterm, "truecolor") == 0 || std::strcmp(colorterm, "24bit") == 0)) {
        return ColourMode::truecolor;
    }
    return ColourMode::ansi16;
}

namespace {

// "38;2;r;g;b" or "48;2;r;g;b"; base is 30 or 40.
void trueColour(ByteWriter& out, unsigned base, int colour) {
    const Rgb& c = vgaColours[static_cast<std::size_t>(colour)];
    out.number(base + 8);
    out.put(";2;");
    out.number(c.red);
    out.put(';');
    out.number(c.green);
    out.put(';');
    out.number(c.blue);
}

// 30-37 / 90-97 for the foreground, 40-47 / 100-107 for the background.
void paletteColour(ByteWriter& out, unsigned base, int colour) {
    const int ansi = ansiColour(colour);
    out.number((ansi & 8) != 0 ? base + 60 + (ansi & 7) : base + ansi);
}

}  // namespace

void writeColours(ByteWriter& out, ColourMode mode, int foreground, int background) {
    if (foreground < 0 && background < 0) return;
    auto one = mode == ColourMode::truecolor ? trueColour : paletteColour;
    out.put("\x1b[");
    if (foreground >= 0) one(out, 30, foreground);
    if (foreground >= 0 && background >= 0) out.put(';');
    if (background >= 0) one(out, 40, background);
    out.put('m');
}

}  // namespace vantrel
