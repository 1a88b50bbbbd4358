#include "tools/cell_image.h"

#include <cstddef>

namespace vantrel {

namespace {

// Glyph `code` in `ink` on `paper` at cell (column, row) of a picture
// `columns` cells wide.
void drawGlyph(std::uint8_t code, const Rgb& ink, const Rgb& paper, int column, int row, int columns,
               std::uint8_t* rgb) {
    const std::ptrdiff_t width = static_cast<std::ptrdiff_t>(columns) * fontGlyphWidth;
    for (int y = 0; y < fontGlyphHeight; ++y) {
        // Bit 0 of a glyph row is its leftmost pixel.
        const unsigned bits = font8x12[static_cast<std::size_t>(fontGlyphHeight * code + y)];
        std::uint8_t* out = rgb + ((static_cast<std::ptrdiff_t>(row) * fontGlyphHeight + y) * width +
                                   static_cast<std::ptrdiff_t>(column) * fontGlyphWidth) * 3;
        for (int x = 0; x < fontGlyphWidth; ++x) {
            const Rgb& colour = (bits >> x) & 1u ? ink : paper;
            *out++ = colour.red;
            *out++ = colour.green;
            *out++ = colour.blue;
        }
    }
}

}  // namespace

void drawCells(const Cell* cells, int columns, int rows, int pitch, std::uint8_t* rgb) {
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const Cell cell = cells[static_cast<std::ptrdiff_t>(row) * pitch + column];
            drawGlyph(cellCharacter(cell), vgaColours[cellAttribute(cell) & 0x0F], vgaColours[cellAttribute(cell) >> 4],
                      column, row, columns, rgb);
        }
    }
}

}  // namespace vantrel
