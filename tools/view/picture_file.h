// Reading PNG and JPEG pictures, safely on any input: every failure is a
// one-line reason, memory is bounded by the limits below, and a large JPEG is
// decoded at a reduced size when the picture will be shown smaller anyway.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "tools/view/rgb_picture.h"

namespace vantrel {

struct PictureLimits {
    // A PNG's declared size, and a JPEG's size as decoded (after reduction).
    std::int64_t maxPixels = std::int64_t{1} << 27;  // 134 million: 384 MiB of RGB
    // A JPEG's declared size: it is decoded at up to 1/8 of it.
    std::int64_t maxJpegPixels = std::int64_t{1} << 28;
    // libjpeg's own working memory (a progressive JPEG keeps all of its
    // coefficients, about 3 bytes a declared pixel).
    long maxJpegMemory = 1L << 30;
};

// The size a picture of fullWidth x fullHeight pixels will be scaled to.
using TargetSize = std::function<void(int fullWidth, int fullHeight, int& width, int& height)>;

// Reads a PNG or JPEG (told apart by their first byte) from `file`. A JPEG
// is decoded at the smallest of 1/8, 1/4 and 1/2 of its size that keeps at
// least four times the target's pixels each way (else, or without a target, in
// full). Returns an empty
// string, or what is wrong (without the file's name).
std::string readPicture(std::FILE* file, const TargetSize& target, const PictureLimits& limits, RgbPicture& out);

// Opens `path` ("-": standard input) and reads it as readPicture does.
std::string loadPicture(const std::string& path, const TargetSize& target, const PictureLimits& limits,
                        RgbPicture& out);

// The formats, for readPicture and the fuzz targets.
std::string readPng(std::FILE* file, const PictureLimits& limits, RgbPicture& out);
std::string readJpeg(std::FILE* file, const TargetSize& target, const PictureLimits& limits, RgbPicture& out);

}  // namespace vantrel
