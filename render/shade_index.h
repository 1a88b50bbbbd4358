// How the shade renderer turns a block of pixels into a table index: the
// high four bits of red, green and blue of the block's colour, red in bits
// 8..11, green in 4..7, blue in 0..3.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/pixel.h"

namespace vantrel {

// Table index from a pixel word, taken without separating the bytes.
inline std::uint32_t shadeIndex(std::uint32_t w) {
    return ((w & 0xF0u) << 4) + ((w >> 8) & 0xF0u) + ((w >> 20) & 0x0Fu);
}

// Per-channel average of a K x K block, rounded down, two channels at a time:
// red and blue under 0x00FF00FF, green under 0x0000FF00. At most 16 values of
// 255 per channel, so no sum carries into its neighbour.
template <int K>
inline std::uint32_t shadeBlockAverage(const Pixel* p, std::ptrdiff_t stride) {
    constexpr int shift = K == 2 ? 2 : 4;
    static_assert(K == 2 || K == 4, "averages are of 2x2 or 4x4 blocks");
    std::uint32_t redBlue = 0;
    std::uint32_t green = 0;
    for (int y = 0; y < K; ++y) {
        const Pixel* row = p + y * stride;
        for (int x = 0; x < K; ++x) {
            const std::uint32_t w = pixelWord(row[x]);
            redBlue += w & 0x00FF00FFu;
            green += w & 0x0000FF00u;
        }
    }
    return ((redBlue >> shift) & 0x00FF00FFu) + ((green >> shift) & 0x0000FF00u);
}

}  // namespace vantrel
