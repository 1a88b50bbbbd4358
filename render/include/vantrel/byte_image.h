// A read-only view of a caller's picture as bytes: RGB or RGBA rows of any
// stride, the form decoders and other libraries hand pictures over in. The
// picture path (Vantrel::picture) takes pictures through this; the cell
// renderers read Pixel words through PixelImage (vantrel/conversion.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "vantrel/conversion.h"

namespace vantrel {

// The bytes of one pixel, sRGB as stored:
// - rgb:  red, green, blue;
// - rgba: red, green, blue and a straight (not premultiplied) alpha, 255 opaque;
// - rgbx: red, green, blue and a byte that is not read (a Pixel word).
enum class PixelLayout : std::int32_t { rgb, rgba, rgbx };

constexpr std::int32_t bytesPerPixel(PixelLayout layout) { return layout == PixelLayout::rgb ? 3 : 4; }

// Pixel (x, y) starts at bytes[y * stride + x * bytesPerPixel(layout)],
// 0 <= x < width, 0 <= y < height. Valid when bytes is not null, width and
// height are at least 1 and stride (bytes from one row to the next) is at
// least width * bytesPerPixel(layout).
struct ByteImage {
    const std::uint8_t* bytes = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::ptrdiff_t stride = 0;
    PixelLayout layout = PixelLayout::rgb;

    bool valid() const {
        return bytes != nullptr && width >= 1 && height >= 1 &&
               (layout == PixelLayout::rgb || layout == PixelLayout::rgba || layout == PixelLayout::rgbx) &&
               stride >= static_cast<std::ptrdiff_t>(width) * bytesPerPixel(layout);
    }
    const std::uint8_t* row(std::int32_t y) const { return bytes + static_cast<std::ptrdiff_t>(y) * stride; }
};

// Pixel words seen as bytes (their fourth byte is not read).
inline ByteImage byteImage(const PixelImage& image) {
    return {reinterpret_cast<const std::uint8_t*>(image.pixels), image.width, image.height,
            static_cast<std::ptrdiff_t>(image.stride) * 4, PixelLayout::rgbx};
}

}  // namespace vantrel
