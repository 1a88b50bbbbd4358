// libFuzzer target for the JPEG reader, at full size and reduced to fit
// 40x25 (the first byte chooses): any bytes are refused with a reason or
// read into a picture within the limits.
#include "tests/fuzz/picture_check.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = openBytes(data, size);
    if (file == nullptr) return 0;
    PictureLimits limits;
    limits.maxPixels = 1 << 20;
    limits.maxJpegPixels = 1 << 22;
    limits.maxJpegMemory = 64L << 20;
    const TargetSize reduced = [](int, int, int& width, int& height) { width = 40, height = 25; };
    RgbPicture picture;
    const std::string error = readJpeg(file, (data[0] & 1) != 0 ? reduced : TargetSize(), limits, picture);
    std::fclose(file);
    checkPicture(error, picture, limits);
    return 0;
}
