// Small RGB pictures for the tests: 3 bytes a pixel, rows width * 3 apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "vantrel/vga_colours.h"

namespace vantrel {

using Bytes = std::vector<std::uint8_t>;

// A picture whose pixel (x, y) has colour f(x, y).
template <class F>
Bytes makeRgb(int width, int height, F f) {
    Bytes rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = f(x, y);
            std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3];
            p[0] = c.red;
            p[1] = c.green;
            p[2] = c.blue;
        }
    }
    return rgb;
}

}  // namespace vantrel
