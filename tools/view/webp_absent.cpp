// A build without libwebp: WebP pictures are recognised and refused with
// the reason.
#include <cstdint>
#include <cstdio>

#include "tools/view/picture_file.h"
#include "tools/view/webp_file_bytes.h"

namespace vantrel {

bool webpSupported() { return false; }

std::string readWebp(std::FILE* file, const PictureLimits&, RgbPicture&, AlphaUse) {
    std::uint8_t header[webpHeaderBytes];
    const std::size_t got = std::fread(header, 1, sizeof header, file);
    if (isWebpHeader(header, got)) return "WebP picture, but this vantrel-view was built without WebP support";
    return notAPictureReason();
}

}  // namespace vantrel
