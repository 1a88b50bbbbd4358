// A terminal cell drawn as pixels, 8 wide and 16 tall, the way terminals
// draw the characters pictures are made of: the block elements, the
// sextants and braille by their geometry, the shades as ordered stipples.
#pragma once

#include <span>

namespace vantrel {

inline constexpr int drawnCellWidth = 8;
inline constexpr int drawnCellHeight = 16;
inline constexpr int drawnCellPixels = drawnCellWidth * drawnCellHeight;

// Writes the share, 0..1, of each of the cell's pixels (row-major, row 0 at
// the top) that the foreground of `character` covers:
// - space, U+00A0 and U+0000: nothing;
// - the block elements U+2580..U+259F (halves, eighths, quadrants): their
//   rectangles, in whole pixels;
// - the shades ░ ▒ ▓: the pixels whose 4x4 Bayer threshold, the matrix
//   tiled from the cell's top-left, is below 4, 8 and 12 of 16;
// - the sextants U+1FB00..U+1FB3B: two columns of 4 pixels and rows of 5, 6
//   and 5 pixels;
// - braille U+2800..U+28FF: 2x2-pixel dots on a 4x4-pixel pitch;
// - any other character of code page 437: its font8x12 glyph stretched to
//   16 rows, each drawn row covering 3/4 of a glyph row (grey where it
//   straddles two), so the glyph inks the same share of the cell.
// Returns false, with every share 0, for any other character.
bool drawCharacter(char32_t character, std::span<float, drawnCellPixels> coverage);

// The share of the cell the foreground of `character` covers: the mean of
// drawCharacter's shares (0 for a character it cannot draw).
double characterCoverage(char32_t character);

}  // namespace vantrel
