#include "tools/view/alpha_blend.h"

#include "vantrel/linear_light.h"

namespace vantrel {

void blendOntoBlack(const std::uint8_t* rgba, std::size_t pixels, std::uint8_t* rgb) {
    // Forward, three bytes written for four read: in place is safe.
    for (std::size_t i = 0; i < pixels; ++i, rgba += 4, rgb += 3) {
        const unsigned alpha = rgba[3];
        if (alpha == 255) {
            rgb[0] = rgba[0], rgb[1] = rgba[1], rgb[2] = rgba[2];
        } else if (alpha == 0) {
            rgb[0] = rgb[1] = rgb[2] = 0;
        } else {
            const float opacity = static_cast<float>(alpha) / 255.0f;
            for (int c = 0; c < 3; ++c) rgb[c] = linearToSrgb(srgbToLinear(rgba[c]) * opacity);
        }
    }
}

}  // namespace vantrel
