// A picture averaged onto a grid of any size in linear light, in double
// precision: each target pixel is the mean of the source area it covers,
// partly covered source pixels weighted by the part covered. For judging
// pictures; the viewer's own scaling is faster and in floats.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

// `rgb`: width x height sRGB pixels of 3 bytes, rows rowBytes apart.
// Returns targetWidth x targetHeight pixels row-major, three doubles each
// (red, green, blue in linear light).
std::vector<double> areaAverage(const std::uint8_t* rgb, int width, int height, std::ptrdiff_t rowBytes,
                                int targetWidth, int targetHeight);

// The sRGB byte v decoded to linear light, in double precision.
double linearOfByte(std::uint8_t v);

}  // namespace vantrel
