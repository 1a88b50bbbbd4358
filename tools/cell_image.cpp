#include "tools/cell_image.h"

const std::array<Rgb, 16> vgaColours = {{
    {0x00, 0x00, 0x00},  // black
    {0x00, 0x00, 0xAA},  // blue
    {0x00, 0xAA, 0x00},  // green
    {0x00, 0xAA, 0xAA},  // cyan
    {0xAA, 0x00, 0x00},  // red
    {0xAA, 0x00, 0xAA},  // magenta
    {0xAA, 0x55, 0x00},  // brown
    {0xAA, 0xAA, 0xAA},  // light grey
    {0x55, 0x55, 0x55},  // dark grey
    {0x55, 0x55, 0xFF},  // light blue
    {0x55, 0xFF, 0x55},  // light green
    {0x55, 0xFF, 0xFF},  // light cyan
    {0xFF, 0x55, 0x55},  // light red
    {0xFF, 0x55, 0xFF},  // light magenta
    {0xFF, 0xFF, 0x55},  // yellow
    {0xFF, 0xFF, 0xFF},  // white
}};

void drawCellImage(const CellBuffer& cells, std::uint8_t* rgb) {
    for (int row = 0; row < cellRows; ++row) {
        for (int column = 0; column < cellColumns; ++column) {
            const Cell cell = cells[row * cellColumns + column];
            const int code = cellCharacter(cell);
            const Rgb ink = vgaColours[cellAttribute(cell) & 0x0F];
            const Rgb paper = vgaColours[cellAttribute(cell) >> 4];
            for (int y = 0; y < fontGlyphHeight; ++y) {
                // Bit 0 of a glyph row is its leftmost pixel.
                const unsigned bits = font8x12[static_cast<std::size_t>(fontGlyphHeight * code + y)];
                std::uint8_t* out = rgb + ((row * fontGlyphHeight + y) * cellImageWidth + column * fontGlyphWidth) * 3;
                for (int x = 0; x < fontGlyphWidth; ++x) {
                    const Rgb& colour = (bits >> x) & 1u ? ink : paper;
                    *out++ = colour.red;
                    *out++ = colour.green;
                    *out++ = colour.blue;
                }
            }
        }
    }
}
