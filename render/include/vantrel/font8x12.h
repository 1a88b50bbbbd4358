// An 8x12 bitmap font of code page 437, drawn for this project.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantrel {

inline constexpr int fontGlyphWidth = 8;
inline constexpr int fontGlyphHeight = 12;

// 256 glyphs of 12 bytes: byte r of glyph c, at 12 * c + r, is pixel row r
// (row 0 at the top); bit 0 of a byte is the leftmost column, bit 7 the
// rightmost.
extern const std::array<std::uint8_t, 256 * fontGlyphHeight> font8x12;

// Whether pixel (x, y) of glyph `code` is set; false outside the 8x12 cell.
inline bool fontPixel(std::uint8_t code, int x, int y) {
    if (x < 0 || x >= fontGlyphWidth || y < 0 || y >= fontGlyphHeight) return false;
    return (font8x12[static_cast<std::size_t>(fontGlyphHeight * code + y)] >> x) & 1u;
}

}  // namespace vantrel
