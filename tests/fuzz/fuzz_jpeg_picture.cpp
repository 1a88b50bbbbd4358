// libFuzzer target for the JPEG reader, at full size and reduced to fit
// 40x25 (the first byte chooses): any bytes are refused with a reason or
// read into a picture within the limits (a damaged one with its reason).
// The same bytes, after "Exif\0\0", go to the Exif orientation parser too.
#include <cstring>
#include <vector>

#include "tests/fuzz/picture_check.h"
#include "tools/view/exif_orientation.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0 && size < 70000) {
        // An exact-size copy, so that the address sanitizer sees any read past it.
        std::vector<std::uint8_t> segment(6 + size - 1);
        std::memcpy(segment.data(), "Exif\0\0", 6);
        std::memcpy(segment.data() + 6, data + 1, size - 1);
        const int orientation = exifOrientation(segment.data(), segment.size());
        if (orientation < 1 || orientation > 8) std::abort();
    }

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
    checkPicture(error, picture, limits, true);
    return 0;
}
