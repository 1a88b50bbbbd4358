// libFuzzer target for the WebP reader: any bytes are refused with a reason
// or read into a picture within the limits, with its alpha kept or blended
// (the input's length chooses).
#include "tests/fuzz/picture_check.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = openBytes(data, size);
    if (file == nullptr) return 0;
    PictureLimits limits;
    limits.maxPixels = 1 << 20;
    limits.maxFileBytes = 1 << 20;
    RgbPicture picture;
    const std::string error = readWebp(file, limits, picture, size % 2 != 0 ? AlphaUse::keep : AlphaUse::blendOntoBlack);
    std::fclose(file);
    checkPicture(error, picture, limits);
    return 0;
}
