#include "vantrel/inline_printer.h"

#include <array>
#include <optional>

#include "terminal/glyph_table.h"
#include "terminal/grid_output.h"
#include "vantrel/visible_cell.h"

namespace vantrel {

namespace {

constexpr std::string_view reset = "\x1b[0m";

// The grid as text, handed to `out` piece by piece (out.put(bytes, n)).
template <class Output>
void printGrid(Output& out, const Cell* cells, int columns, int rows, int pitch, ColourMode mode) {
    std::array<TerminalColour, 16> colours;
    for (int i = 0; i < 16; ++i) colours[static_cast<std::size_t>(i)] = consoleColour(mode, i);
    const GlyphTable& glyphs = cp437Glyphs();
    if (columns > 0 && rows > 0) out.put(reset.data(), reset.size());
    for (int r = 0; r < rows; ++r) {
        const Cell* row = cells + static_cast<std::ptrdiff_t>(r) * pitch;
        int foreground = -1;
        int background = -1;
        for (int c = 0; c < columns; ++c) {
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
        if (columns > 0) out.put(reset.data(), reset.size());
        out.put("\n", 1);
    }
}

}  // namespace

std::size_t inlineSize(const Cell* cells, int columns, int rows, int pitch, ColourMode mode) {
    if (!validGrid(cells, columns, rows, pitch)) return 0;
    return printedSize([&](auto& out) { printGrid(out, cells, columns, rows, pitch, mode); });
}

std::size_t printInline(const Cell* cells, int columns, int rows, int pitch, ColourMode mode, char* out,
                        std::size_t capacity) {
    if (!validGrid(cells, columns, rows, pitch)) return 0;
    return printToBuffer([&](auto& o) { printGrid(o, cells, columns, rows, pitch, mode); }, out, capacity);
}

std::error_code printInline(int fd, const Cell* cells, int columns, int rows, int pitch, ColourMode mode) {
    if (!validGrid(cells, columns, rows, pitch)) return std::make_error_code(std::errc::invalid_argument);
    return printToDescriptor([&](auto& out) { printGrid(out, cells, columns, rows, pitch, mode); }, fd);
}

}  // namespace vantrel
