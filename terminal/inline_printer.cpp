#include "vantrel/inline_printer.h"

#include <array>
#include <optional>

#include "terminal/glyph_table.h"
#include "terminal/grid_output.h"
#include "terminal/mosaic_text.h"
#include "vantrel/terminal_colours.h"
#include "vantrel/visible_cell.h"

namespace vantrel {

namespace {

constexpr std::string_view reset = "\x1b[0m";

// Console cells as text, handed to `out` piece by piece (out.put(bytes, n)).
template <class Output>
void printGrid(Output& out, CellView<Cell> grid, ColourMode mode) {
    std::array<TerminalColour, 16> colours;
    for (int i = 0; i < 16; ++i) colours[static_cast<std::size_t>(i)] = consoleColour(mode, i);
    const GlyphTable& glyphs = cp437Glyphs();
    if (grid.width > 0 && grid.height > 0) out.put(reset.data(), reset.size());
    for (int r = 0; r < grid.height; ++r) {
        const Cell* row = grid.row(r);
        int foreground = -1;
        int background = -1;
        for (int c = 0; c < grid.width; ++c) {
            const Cell cell = visibleCell(row[c]);
            const int character = cellCharacter(cell);
            // A space shows only its background, whatever the foreground.
            std::optional<TerminalColour> newForeground;
            std::optional<TerminalColour> newBackground;
            if (character != 32 && cellForeground(cell) != foreground) {
                foreground = cellForeground(cell);
                newForeground = colours[static_cast<std::size_t>(foreground)];
            }
            if (cellBackground(cell) != background) {
                background = cellBackground(cell);
                newBackground = colours[static_cast<std::size_t>(background)];
            }
            char sgr[maxSgrBytes];
            out.put(sgr, writeSgr(newForeground, newBackground, sgr, sizeof sgr));
            const GlyphBytes& g = glyphs[character];
            out.put(g.bytes, g.size);
        }
        if (grid.width > 0) out.put(reset.data(), reset.size());
        out.put("\n", 1);
    }
}

// Mosaic cells as text, likewise.
template <class Output>
void printGrid(Output& out, CellView<MosaicCell> grid, ColourMode mode) {
    const SgrWriter& sgr = sgrWriter(mode);
    const std::uint32_t mask = colourMask(mode);
    if (grid.width > 0 && grid.height > 0) out.put(reset.data(), reset.size());
    for (int r = 0; r < grid.height; ++r) {
        const MosaicCell* row = grid.row(r);
        // Every row starts after a reset: no colour is set.
        constexpr std::uint32_t none = 0xFFFFFFFF;
        std::uint32_t foreground = none;
        std::uint32_t background = none;
        for (int c = 0; c < grid.width; ++c) {
            const MosaicCell v = visibleMosaic(row[c], mask);
            const bool setForeground = v.character != U' ' && v.foreground != foreground;
            const bool setBackground = v.background != background;
            if (setForeground) foreground = v.foreground;
            background = v.background;
            char bytes[maxMosaicSgrBytes + 4 + maxMosaicGlyphBytes];
            char* end = sgr.write(bytes, setForeground, v.foreground, setBackground, v.background);
            end += utf8(v.character, end);
            out.put(bytes, static_cast<std::size_t>(end - bytes));
        }
        if (grid.width > 0) out.put(reset.data(), reset.size());
        out.put("\n", 1);
    }
}

template <class T>
std::size_t sizeOf(CellView<T> grid, ColourMode mode) {
    if (!grid.valid()) return 0;
    return printedSize([&](auto& out) { printGrid(out, grid, mode); });
}

template <class T>
std::size_t printInto(CellView<T> grid, ColourMode mode, char* out, std::size_t capacity) {
    if (!grid.valid()) return 0;
    return printToBuffer([&](auto& o) { printGrid(o, grid, mode); }, out, capacity);
}

template <class T>
std::error_code printTo(int fd, CellView<T> grid, ColourMode mode) {
    if (!grid.valid()) return std::make_error_code(std::errc::invalid_argument);
    return printToDescriptor([&](auto& out) { printGrid(out, grid, mode); }, fd);
}

}  // namespace

std::size_t inlineSize(CellView<Cell> grid, ColourMode mode) { return sizeOf(grid, mode); }
std::size_t inlineSize(CellView<MosaicCell> grid, ColourMode mode) { return sizeOf(grid, mode); }

std::size_t printInline(CellView<Cell> grid, ColourMode mode, char* out, std::size_t capacity) {
    return printInto(grid, mode, out, capacity);
}
std::size_t printInline(CellView<MosaicCell> grid, ColourMode mode, char* out, std::size_t capacity) {
    return printInto(grid, mode, out, capacity);
}

std::error_code printInline(int fd, CellView<Cell> grid, ColourMode mode) { return printTo(fd, grid, mode); }
std::error_code printInline(int fd, CellView<MosaicCell> grid, ColourMode mode) { return printTo(fd, grid, mode); }

}  // namespace vantrel
