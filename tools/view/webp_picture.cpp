// Still WebP pictures (lossy, lossless, with or without alpha) through
// libwebp. The file is read whole, within the file size limit, since libwebp
// decodes from memory; the picture's size is checked before it is decoded.
#include <webp/decode.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "tools/view/alpha_blend.h"
#include "tools/view/picture_file.h"
#include "tools/view/webp_file_bytes.h"

namespace vantrel {

namespace {

// Reads the rest of the file, `declared` bytes in all at most: false when
// reading fails. A file shorter than it declares comes back short.
bool readFile(std::FILE* file, std::uint64_t declared, std::vector<std::uint8_t>& bytes) {
    while (bytes.size() < declared) {
        const std::size_t old = bytes.size();
        const std::size_t more = static_cast<std::size_t>(std::min<std::uint64_t>(declared - old, old < 65536 ? 65536 : old));
        bytes.resize(old + more);
        const std::size_t got = std::fread(bytes.data() + old, 1, more, file);
        bytes.resize(old + got);
        if (got < more) return std::ferror(file) == 0;
    }
    return true;
}

std::string statusReason(VP8StatusCode status, bool complete) {
    if (!complete || status == VP8_STATUS_NOT_ENOUGH_DATA) return "truncated WebP file";
    if (status == VP8_STATUS_UNSUPPORTED_FEATURE) return "unsupported WebP file";
    if (status == VP8_STATUS_OUT_OF_MEMORY) return "not enough memory to decode the WebP file";
    return "corrupt WebP file";
}

}  // namespace

bool webpSupported() { return true; }

std::string readWebp(std::FILE* file, const PictureLimits& limits, RgbPicture& out, AlphaUse alphaUse) {
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(webpHeaderBytes);
        const std::size_t got = std::fread(bytes.data(), 1, webpHeaderBytes, file);
        if (got < webpHeaderBytes && std::ferror(file) != 0) return std::string("cannot read: ") + std::strerror(errno);
        if (!isWebpHeader(bytes.data(), got)) return notAPictureReason();
        const std::uint64_t declared = webpDeclaredBytes(bytes.data());
        if (declared > static_cast<std::uint64_t>(limits.maxFileBytes)) {
            return "WebP file too large: " + std::to_string(declared) + " bytes (at most " +
                   std::to_string(limits.maxFileBytes) + ")";
        }
        if (!readFile(file, declared, bytes)) return std::string("cannot read: ") + std::strerror(errno);
    } catch (const std::bad_alloc&) {
        return "not enough memory to read the WebP file";
    }
    const bool complete = bytes.size() == webpDeclaredBytes(bytes.data());

    WebPBitstreamFeatures features;
    if (const VP8StatusCode status = WebPGetFeatures(bytes.data(), bytes.size(), &features); status != VP8_STATUS_OK) {
        return statusReason(status, complete);
    }
    if (features.has_animation != 0) return "animated WebP, which is not shown as a picture";
    const std::int64_t pixels = std::int64_t{features.width} * features.height;
    if (pixels > limits.maxPixels) {
        return "picture too large: " + std::to_string(features.width) + "x" + std::to_string(features.height) +
               " pixels (at most " + std::to_string(limits.maxPixels) + ")";
    }
    const bool alpha = features.has_alpha != 0;
    const int channels = alpha ? 4 : 3;
    const std::size_t bytesOut = static_cast<std::size_t>(pixels) * static_cast<std::size_t>(channels);
    std::unique_ptr<std::uint8_t[]> rgb = pictureBytes(bytesOut);
    if (rgb == nullptr) return "not enough memory for " + std::to_string(pixels) + " pixels";
    const int stride = features.width * channels;
    const std::uint8_t* decoded =
        alpha ? WebPDecodeRGBAInto(bytes.data(), bytes.size(), rgb.get(), bytesOut, stride)
              : WebPDecodeRGBInto(bytes.data(), bytes.size(), rgb.get(), bytesOut, stride);
    if (decoded == nullptr) return statusReason(VP8_STATUS_BITSTREAM_ERROR, complete);

    out.layout = alpha && alphaUse == AlphaUse::keep ? PixelLayout::rgba : PixelLayout::rgb;
    if (alpha && out.layout == PixelLayout::rgb) blendOntoBlack(rgb.get(), static_cast<std::size_t>(pixels), rgb.get());
    out.rgb = std::move(rgb);
    out.width = features.width;
    out.height = features.height;
    return {};
}

}  // namespace vantrel
