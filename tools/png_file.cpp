#include "tools/png_file.h"

#include <png.h>

std::string encodeRgbPng(const std::uint8_t* rgb, int width, int height, std::vector<std::uint8_t>& png) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // The first call measures, the second writes.
    png_alloc_size_t size = 0;
    bool encoded = png_image_write_to_memory(&image, nullptr, &size, 0, rgb, width * 3, nullptr) != 0;
    if (encoded) {
        png.resize(size);
        encoded = png_image_write_to_memory(&image, png.data(), &size, 0, rgb, width * 3, nullptr) != 0;
        png.resize(size);
    }
    if (!encoded) {
        std::string error = image.message;
        png_image_free(&image);
        return "PNG encoding failed: " + error;
    }
    return {};
}
