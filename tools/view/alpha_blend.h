// Transparent pixels for a caller that takes RGB only: blended onto black.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vantrel {

// Writes `pixels` RGBA pixels (straight alpha, sRGB) as RGB blended onto
// black in linear light: each colour scaled, as light, by its opacity. `rgb`
// may be `rgba` itself: the pixels are then packed in place.
void blendOntoBlack(const std::uint8_t* rgba, std::size_t pixels, std::uint8_t* rgb);

}  // namespace vantrel
