// A decoded picture: rows of pixels of three bytes, red, green and blue,
// sRGB as the file had them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "vantrel/byte_image.h"

namespace vantrel {

struct RgbPicture {
    std::unique_ptr<std::uint8_t[]> rgb;  // width * height * 3 bytes, rows width * 3 apart
    int width = 0;
    int height = 0;

    std::ptrdiff_t rowBytes() const { return static_cast<std::ptrdiff_t>(width) * 3; }
    ByteImage view() const { return {rgb.get(), width, height, rowBytes(), PixelLayout::rgb}; }
};

// Room for `bytes` bytes, uninitialised; null when there is no memory.
inline std::unique_ptr<std::uint8_t[]> pictureBytes(std::size_t bytes) {
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[bytes]);
}

}  // namespace vantrel
