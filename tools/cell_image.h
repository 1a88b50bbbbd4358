// A cell frame as the console shows it: each cell an 8x12 glyph of font8x12,
// ink in the foreground colour, the rest in the background colour, from the
// standard VGA console colours.
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

// Draws the frame into `rgb`: cellImageHeight rows of cellImageWidth pixels,
// three bytes (red, green, blue) a pixel, row-major.
void drawCellImage(const CellBuffer& cells, std::uint8_t* rgb);

}  // namespace vantrel
