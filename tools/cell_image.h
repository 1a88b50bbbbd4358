// A cell frame as the console shows it: each cell an 8x12 glyph of font8x12,
// ink in the foreground colour, the rest in the background colour, from the
// standard VGA console colours.
#pragma once

#include <array>
#include <cstdint>

#include "render/cell.h"

inline constexpr int glyphWidth = 8;
inline constexpr int glyphHeight = 12;
inline constexpr int cellImageWidth = cellColumns * glyphWidth;   // 640
inline constexpr int cellImageHeight = cellRows * glyphHeight;    // 600
inline constexpr int cellImageBytes = cellImageWidth * cellImageHeight * 3;

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// Console colours 0..15 with the VGA levels 0x00, 0x55, 0xAA and 0xFF.
extern const std::array<Rgb, 16> vgaColours;

// Draws the frame into `rgb`: cellImageHeight rows of cellImageWidth pixels,
// three bytes (red, green, blue) a pixel, row-major.
void drawCellImage(const CellBuffer& cells, std::uint8_t* rgb);
