// PNG through libpng's simplified API, which catches libpng's errors itself
// and returns them: no longjmp ever reaches this code.
#include <png.h>

#include <cstring>
#include <string>

#include "tools/view/alpha_blend.h"
#include "tools/view/picture_file.h"

namespace vantrel {

namespace {

std::string failure(const png_image& image, std::FILE* file) {
    if (std::feof(file)) return "truncated PNG file";
    if (std::strcmp(image.message, "Not a PNG file") == 0) return notAPictureReason();
    return std::string("corrupt PNG file (") + image.message + ")";
}

// Frees what libpng holds for the image on every way out.
struct ImageRelease {
    png_image& image;
    ~ImageRelease() { png_image_free(&image); }
};

}  // namespace

std::string readPng(std::FILE* file, const PictureLimits& limits, RgbPicture& out, AlphaUse alphaUse) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ImageRelease release{image};
    if (png_image_begin_read_from_stdio(&image, file) == 0) return failure(image, file);

    const std::int64_t pixels = std::int64_t{image.width} * image.height;
    if (pixels > limits.maxPixels) {
        return "picture too large: " + std::to_string(image.width) + "x" + std::to_string(image.height) +
               " pixels (at most " + std::to_string(limits.maxPixels) + ")";
    }
    // Any PNG with an alpha channel or a transparent colour (tRNS) is read
    // as RGBA, and blended here unless the caller keeps the alpha.
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    const std::size_t bytes = static_cast<std::size_t>(pixels) * (alpha ? 4 : 3);
    std::unique_ptr<std::uint8_t[]> rgb = pictureBytes(bytes);
    if (rgb == nullptr) return "not enough memory for " + std::to_string(pixels) + " pixels";
    if (png_image_finish_read(&image, nullptr, rgb.get(), 0, nullptr) == 0) return failure(image, file);
    const PixelLayout layout = alpha && alphaUse == AlphaUse::keep ? PixelLayout::rgba : PixelLayout::rgb;
    if (alpha && layout == PixelLayout::rgb) blendOntoBlack(rgb.get(), static_cast<std::size_t>(pixels), rgb.get());

    out.rgb = std::move(rgb);
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.layout = layout;
    return {};
}

}  // namespace vantrel
