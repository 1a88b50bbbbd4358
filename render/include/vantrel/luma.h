// Brightness of colour pictures for the glyph renderer, which reads green
// alone.
#pragma once

#include <cstdint>

#include "vantrel/conversion.h"
#include "vantrel/pixel.h"

namespace vantrel {

// Rec. 709 luma of a pixel, 0..255: the weights 0.2126, 0.7152 and 0.0722 in
// 16-bit fixed point (13933, 46871 and 4732, summing to 65536, so white stays
// 255) applied to the sRGB bytes as they are, rounded to nearest:
// (13933 red + 46871 green + 4732 blue + 32768) >> 16, in integers.
constexpr std::uint8_t luma(const Pixel& p) {
    return static_cast<std::uint8_t>((13933u * p.red + 46871u * p.green + 4732u * p.blue + 32768u) >> 16);
}

// Writes the luma of every pixel of `in` into green, the glyph renderer's
// input, of the pixel at the same place of `out` (in.width x in.height
// pixels, rows outStride apart). Red and blue get the same value, so the
// result is the grey picture; the fourth byte is copied. `out` may be
// in.pixels itself with the same stride, but must not overlap it otherwise.
// Returns false, writing nothing, when `in` is not valid (see PixelImage),
// `out` is null or outStride < in.width.
bool lumaToGreen(const PixelImage& in, Pixel* out, std::int32_t outStride);

}  // namespace vantrel
