#include "tools/png_file.h"

#include <png.h>

std::string writeRgbPng(std::FILE* stream, const std::uint8_t* rgb, int width, int height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_stdio(&image, stream, 0, rgb, width * 3, nullptr) == 0) {
        std::string error = image.message;
        png_image_free(&image);
        return "PNG encoding failed: " + error;
    }
    return {};
}
