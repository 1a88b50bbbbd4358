// Cells as the console shows them: each cell an 8x12 glyph of font8x12, ink
// in the foreground colour, the rest in the background colour.
#pragma once

#include <array>
#include <cstdint>

#include "vantrel/cell.h"
#include "vantrel/font8x12.h"
#include "vantrel/vga_colours.h"

namespace vantrel {

inline constexpr int cellImageWidth = cellColumns * fontGlyphWidth;  // 640
inline constexpr int cellImageHeight = cellRows * fontGlyphHeight;    // 600
inline constexpr int cellImageBytes = cellImageWidth * cellImageHeight * 3;

// Draws `columns` x `rows` cells, row r at cells[r * pitch], in the
// standard VGA console colours into `rgb`: rows * 12 rows of columns * 8
// pixels, three bytes (red, green, blue) a pixel, row-major.
void drawCells(const Cell* cells, int columns, int rows, int pitch, std::uint8_t* rgb);

// One 80x50 frame: cellImageHeight rows of cellImageWidth pixels.
inline void drawCellImage(const CellBuffer& cells, std::uint8_t* rgb) {
    drawCells(cells.data(), cellColumns, cellRows, cellColumns, rgb);
}

}  // namespace vantrel
