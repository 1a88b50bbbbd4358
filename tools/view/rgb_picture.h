// A decoded picture: rows of pixels of three bytes, red, green and blue,
// sRGB as the file had them; or, when the reader was asked to keep alpha and
// the picture has it, of four bytes, the fourth the opacity (255 opaque, not
// premultiplied).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "vantrel/byte_image.h"

namespace vantrel {

struct RgbPicture {
    std::unique_ptr<std::uint8_t[]> rgb;  // width * height * channels() bytes, rows rowBytes() apart
    int width = 0;
    int height = 0;
    PixelLayout layout = PixelLayout::rgb;

    int channels() const { return bytesPerPixel(layout); }
    std::ptrdiff_t rowBytes() const { return static_cast<std::ptrdiff_t>(width) * channels(); }
    ByteImage view() const { return {rgb.get(), width, height, rowBytes(), layout}; }
};

// Room for `bytes` bytes, uninitialised; null when there is no memory.
inline std::unique_ptr<std::uint8_t[]> pictureBytes(std::size_t bytes) {
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[bytes]);
}

}  // namespace vantrel
