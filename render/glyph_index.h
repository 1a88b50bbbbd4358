// How the glyph renderer turns a block of pixels into a table index: four
// brightness levels 0..15, top left in bits 12..15, top right in 8..11,
// bottom left in 4..7, bottom right in 0..3. Brightness is the green channel
// alone; red, blue and the fourth byte are never read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/pixel.h"

namespace vantrel {

// The level of one pixel: the high four bits of its green byte.
inline std::uint32_t glyphLevel(const Pixel& p) { return (pixelWord(p) >> 12) & 0xFu; }

// One pixel per cell: all four quadrants at the pixel's level.
inline std::uint32_t glyphIndex1x1(const Pixel* p) { return glyphLevel(*p) * 0x1111u; }

// 2x2 pixels per cell: one pixel per quadrant.
inline std::uint32_t glyphIndex2x2(const Pixel* p, std::ptrdiff_t stride) {
    const Pixel* below = p + stride;
    return (glyphLevel(p[0]) << 12) | (glyphLevel(p[1]) << 8) | (glyphLevel(below[0]) << 4) |
           glyphLevel(below[1]);
}

// The level of a 2x2 sub-block: the sum of its four green bytes shifted
// right by 6 (the mean rounded down, then its high four bits).
inline std::uint32_t glyphSubBlockLevel(const Pixel* p, std::ptrdiff_t stride) {
    const Pixel* below = p + stride;
    const std::uint32_t sum = ((pixelWord(p[0]) >> 8) & 0xFFu) + ((pixelWord(p[1]) >> 8) & 0xFFu) +
                              ((pixelWord(below[0]) >> 8) & 0xFFu) + ((pixelWord(below[1]) >> 8) & 0xFFu);
    return sum >> 6;
}

// 4x4 pixels per cell: one 2x2 sub-block per quadrant.
inline std::uint32_t glyphIndex4x4(const Pixel* p, std::ptrdiff_t stride) {
    const Pixel* lower = p + 2 * stride;
    return (glyphSubBlockLevel(p, stride) << 12) | (glyphSubBlockLevel(p + 2, stride) << 8) |
           (glyphSubBlockLevel(lower, stride) << 4) | glyphSubBlockLevel(lower + 2, stride);
}

}  // namespace vantrel
