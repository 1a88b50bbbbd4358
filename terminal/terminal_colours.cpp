#include "vantrel/terminal_colours.h"

#include "terminal/byte_writer.h"

namespace vantrel {

namespace {

// The parameters of one colour, after "ESC [" or ";"; base is 30 for the
// foreground, 40 for the background.
void colourParameters(ByteWriter& out, unsigned base, TerminalColour colour) {
    switch (colour.mode) {
        case ColourMode::ansi16: {
            const unsigned ansi = colour.value & 15;
            out.number(ansi >= 8 ? base + 60 + (ansi - 8) : base + ansi);
            break;
        }
        case ColourMode::ansi256:
            out.number(base + 8);
            out.put(";5;");
            out.number(colour.value & 255);
            break;
        case ColourMode::truecolor:
            out.number(base + 8);
            out.put(";2;");
            out.number((colour.value >> 16) & 255);
            out.put(';');
            out.number((colour.value >> 8) & 255);
            out.put(';');
            out.number(colour.value & 255);
            break;
    }
}

}  // namespace

std::size_t writeSgr(std::optional<TerminalColour> foreground, std::optional<TerminalColour> background, char* out,
                     std::size_t capacity) {
    if (!foreground && !background) return 0;
    char bytes[maxSgrBytes];
    ByteWriter w(bytes, sizeof bytes);
    w.put("\x1b[");
    if (foreground) colourParameters(w, 30, *foreground);
    if (foreground && background) w.put(';');
    if (background) colourParameters(w, 40, *background);
    w.put('m');
    if (out != nullptr && w.size() <= capacity) std::memcpy(out, bytes, w.size());
    return w.size();
}

}  // namespace vantrel
