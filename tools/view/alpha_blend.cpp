#include "tools/view/alpha_blend.h"

#include <array>
#include <memory>

#include "vantrel/linear_light.h"

namespace vantrel {

void blendOntoBlack(const std::uint8_t* rgba, std::size_t pixels, std::uint8_t* rgb) {
    // The blended byte of each colour byte at each opacity met, made when
    // first needed: a picture has few opacities, or many pixels to share them.
    struct Blended {
        std::array<std::array<std::uint8_t, 256>, 256> byAlpha;
        std::array<bool, 256> made{};
    };
    std::unique_ptr<Blended> table;
    // Forward, three bytes written for four read: in place is safe.
    for (std::size_t i = 0; i < pixels; ++i, rgba += 4, rgb += 3) {
        const unsigned alpha = rgba[3];
        if (alpha == 255) {
            rgb[0] = rgba[0], rgb[1] = rgba[1], rgb[2] = rgba[2];
        } else if (alpha == 0) {
            rgb[0] = rgb[1] = rgb[2] = 0;
        } else {
            if (table == nullptr) table = std::make_unique<Blended>();
            std::array<std::uint8_t, 256>& blended = table->byAlpha[alpha];
            if (!table->made[alpha]) {
                const float opacity = static_cast<float>(alpha) / 255.0f;
                for (int v = 0; v < 256; ++v) {
                    blended[v] = linearToSrgb(srgbToLinear(static_cast<std::uint8_t>(v)) * opacity);
                }
                table->made[alpha] = true;
            }
            rgb[0] = blended[rgba[0]], rgb[1] = blended[rgba[1]], rgb[2] = blended[rgba[2]];
        }
    }
}

}  // namespace vantrel
