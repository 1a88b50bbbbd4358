#include "vantrel/cell_colours.h"

#include "vantrel/coloured_cell.h"
#include "vantrel/seen_colour.h"

namespace vantrel {

ConsoleColours::ConsoleColours(ColourMode mode, const Palette& palette) {
    for (int c = 0; c < 16; ++c) {
        const TerminalColour shown = consoleColour(mode, c);
        colours_[static_cast<std::size_t>(c)] = toLinear(paletteColour(shown, palette));
    }
    for (int code = 0; code < 256; ++code) ink_[static_cast<std::size_t>(code)] = inkShare(static_cast<std::uint8_t>(code));
}

LinearRgb ConsoleColours::seen(Cell cell) const {
    const float ink = ink_[cellCharacter(cell)];
    const LinearRgb fg = colour(cellForeground(cell));
    const LinearRgb bg = colour(cellBackground(cell));
    const auto mix = [ink](float f, float b) { return f * ink + b * (1.0f - ink); };
    return {mix(fg.red, bg.red), mix(fg.green, bg.green), mix(fg.blue, bg.blue)};
}

}  // namespace vantrel
