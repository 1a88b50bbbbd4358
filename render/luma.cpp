#include "vantrel/luma.h"

#include <cstddef>

namespace vantrel {

bool lumaToGreen(const PixelImage& in, Pixel* out, std::int32_t outStride) {
    if (in.pixels == nullptr || in.width < 0 || in.height < 0 || in.stride < in.width) return false;
    if (out == nullptr || outStride < in.width) return false;
    for (std::int32_t y = 0; y < in.height; ++y) {
        const Pixel* src = in.pixels + static_cast<std::ptrdiff_t>(y) * in.stride;
        Pixel* dst = out + static_cast<std::ptrdiff_t>(y) * outStride;
        for (std::int32_t x = 0; x < in.width; ++x) {
            const std::uint8_t grey = luma(src[x]);
            dst[x] = {grey, grey, grey, src[x].unused};
        }
    }
    return true;
}

}  // namespace vantrel
