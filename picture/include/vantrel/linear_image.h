// A read-only view of colours in linear light: the samples a picture is
// scaled to, which the picture renderers turn into cells.
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/linear_light.h"

namespace vantrel {

// Sample (x, y) at samples[y * stride + x], 0 <= x < width, 0 <= y < height.
// Valid when samples is not null, width and height are at least 1 and
// stride >= width.
struct LinearImage {
    const LinearRgb* samples = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;  // samples from one row to the next

    bool valid() const { return samples != nullptr && width >= 1 && height >= 1 && stride >= width; }
    const LinearRgb* row(std::int32_t y) const { return samples + static_cast<std::ptrdiff_t>(y) * stride; }
};

}  // namespace vantrel
