// Reading PNG, JPEG and WebP pictures, safely on any input: every failure is
// a one-line reason, memory is bounded by the limits below, and a large JPEG
// is decoded at a reduced size when the picture will be shown smaller anyway.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "tools/view/rgb_picture.h"

namespace vantrel {

struct PictureLimits {
    // A PNG's or WebP's declared size, and a JPEG's size as decoded (after
    // reduction).
    std::int64_t maxPixels = std::int64_t{1} << 27;  // 134 million: 384 MiB of RGB
    // A JPEG's declared size: it is decoded at up to 1/8 of it.
    std::int64_t maxJpegPixels = std::int64_t{1} << 28;
    // libjpeg's own working memory (a progressive JPEG keeps all of its
    // coefficients, about 3 bytes a declared pixel).
    long maxJpegMemory = 1L << 30;
    // A WebP file is read whole before it is decoded.
    std::int64_t maxFileBytes = std::int64_t{1} << 28;
};

// What a reader does with the opacity of a picture that has one: blend its
// pixels onto black in linear light and give RGB, or give RGBA so that the
// caller composites it.
enum class AlphaUse { blendOntoBlack, keep };

// The size a picture of fullWidth x fullHeight pixels (as shown, after any
// rotation the file asks for) will be scaled to.
using TargetSize = std::function<void(int fullWidth, int fullHeight, int& width, int& height)>;

// Reads a PNG, JPEG or WebP picture (told apart by their first bytes, not by
// a file name) from `file`. A JPEG is decoded at the smallest of 1/8, 1/4 and
// 1/2 of its size that keeps at least four times the target's pixels each way
// (else, or without a target, in full), turned as its EXIF orientation says.
//
// Returns an empty string, or what is wrong (one line, without the file's
// name). A damaged JPEG (truncated, or corrupt after some rows decoded) gives
// both: the reason, and in `out` the picture as far as it decoded, the rest
// grey. Otherwise `out` is set only when the reason is empty.
std::string readPicture(std::FILE* file, const TargetSize& target, const PictureLimits& limits, RgbPicture& out,
                        AlphaUse alpha = AlphaUse::blendOntoBlack);

// Opens `path` ("-": standard input) and reads it as readPicture does.
std::string loadPicture(const std::string& path, const TargetSize& target, const PictureLimits& limits,
                        RgbPicture& out, AlphaUse alpha = AlphaUse::blendOntoBlack);

// Whether this build reads WebP (libwebp was found when it was configured).
bool webpSupported();

// The reason given for bytes that are none of the formats this build reads.
std::string notAPictureReason();

// The formats, for readPicture and the fuzz targets.
std::string readPng(std::FILE* file, const PictureLimits& limits, RgbPicture& out,
                    AlphaUse alpha = AlphaUse::blendOntoBlack);
std::string readJpeg(std::FILE* file, const TargetSize& target, const PictureLimits& limits, RgbPicture& out);
std::string readWebp(std::FILE* file, const PictureLimits& limits, RgbPicture& out,
                     AlphaUse alpha = AlphaUse::blendOntoBlack);

}  // namespace vantrel
