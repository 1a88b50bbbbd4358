// Pixels: what the renderers read and the drawing operations write.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace vantrel {

static_assert(std::endian::native == std::endian::little,
              "the renderers form table indexes from little-endian pixel words");

// Red, green and blue intensities 0..255 and a fourth byte that nothing draws
// into and no renderer reads. As a little-endian word: red bits 0-7, green
// bits 8-15, blue bits 16-23.
struct Pixel {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t unused = 0;
};
static_assert(sizeof(Pixel) == 4, "a Pixel is one 32-bit word");

// The screen the demo draws: 80x50 pixels, one per console cell.
inline constexpr int screenWidth = 80;
inline constexpr int screenHeight = 50;
inline constexpr int screenPixelCount = screenWidth * screenHeight;

// A row-major 80x50 frame: pixel (x, y) is element y * 80 + x.
using PixelBuffer = std::array<Pixel, screenPixelCount>;

// The pixel as its 32-bit word (red in the low byte).
inline std::uint32_t pixelWord(const Pixel& p) {
    std::uint32_t w;
    std::memcpy(&w, &p, sizeof w);
    return w;
}

}  // namespace vantrel
