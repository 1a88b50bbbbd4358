#include "vantrel/coloured_cell.h"

#include <cstddef>

#include "vantrel/cp437_unicode.h"

namespace vantrel {

Rgb paletteColour(TerminalColour colour, const Palette& palette) {
    const bool ownColour = (colour.mode == ColourMode::ansi16) ||
                           (colour.mode == ColourMode::ansi256 && (colour.value & 255) < 16);
    if (ownColour) return palette.colours[static_cast<std::size_t>(colour.value & 15)];
    return shownColour(colour);
}

ColouredCell colouredCell(const MosaicCell& cell, ColourMode mode, const Palette& palette) {
    return {cell.character, paletteColour({mode, cell.foreground}, palette),
            paletteColour({mode, cell.background}, palette)};
}

ColouredCell colouredCell(Cell cell, ColourMode mode, const Palette& palette) {
    return {cp437Unicode[cellCharacter(cell)], paletteColour(consoleColour(mode, cellForeground(cell)), palette),
            paletteColour(consoleColour(mode, cellBackground(cell)), palette)};
}

}  // namespace vantrel
