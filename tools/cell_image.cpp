#include "tools/cell_image.h"

namespace vantrel {

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

}  // namespace vantrel
