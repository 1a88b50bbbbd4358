// libFuzzer target for the PNG reader: any bytes are refused with a reason
// or read into a picture of the size they declare, within the limits, never
// more.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tools/view/picture_file.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) return 0;
    PictureLimits limits;
    limits.maxPixels = 1 << 20;
    RgbPicture picture;
    const std::string error = readPng(file, limits, picture);
    std::fclose(file);
    if (error.empty() != (picture.rgb != nullptr)) std::abort();
    if (error.empty()) {
        if (picture.width < 1 || picture.height < 1 ||
            std::int64_t{picture.width} * picture.height > limits.maxPixels) {
            std::abort();
        }
        unsigned sum = 0;  // every byte was written and can be read
        for (std::size_t i = 0; i < std::size_t{3} * picture.width * picture.height; ++i) sum += picture.rgb[i];
        if (sum == 0xFFFFFFFFu) std::abort();
    }
    return 0;
}
