// What the picture fuzz targets check of a reader's result: a reason, or a
// picture within the limits whose every byte was written.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/view/picture_file.h"

// A FILE over the fuzzer's bytes; null for no bytes.
inline std::FILE* openBytes(const std::uint8_t* data, std::size_t size) {
    return size == 0 ? nullptr : fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
}

// `damageShown`: whether a reason may come with a picture (a damaged JPEG
// shown as far as it decoded).
inline void checkPicture(const std::string& error, const vantrel::RgbPicture& picture,
                         const vantrel::PictureLimits& limits, bool damageShown = false) {
    if (error.empty() && picture.rgb == nullptr) std::abort();
    if (!error.empty() && picture.rgb != nullptr && !damageShown) std::abort();
    if (picture.rgb == nullptr) return;
    if (picture.width < 1 || picture.height < 1 || std::int64_t{picture.width} * picture.height > limits.maxPixels) {
        std::abort();
    }
    unsigned sum = 0;  // reading every byte lets the sanitizers see them
    const std::size_t bytes = std::size_t(picture.channels()) * std::size_t(picture.width) * std::size_t(picture.height);
    for (std::size_t i = 0; i < bytes; ++i) sum += picture.rgb[i];
    if (sum == 0xFFFFFFFFu) std::abort();
}
