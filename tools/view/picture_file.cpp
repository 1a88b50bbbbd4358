#include "tools/view/picture_file.h"

#include <cerrno>
#include <cstring>

namespace vantrel {

std::string notAPictureReason() {
    return webpSupported() ? "not a PNG, JPEG or WebP picture" : "not a PNG or JPEG picture";
}

std::string readPicture(std::FILE* file, const TargetSize& target, const PictureLimits& limits, RgbPicture& out,
                        AlphaUse alpha) {
    const int first = std::getc(file);
    if (first == EOF) return std::ferror(file) ? std::string("cannot read: ") + std::strerror(errno) : "empty file";
    std::ungetc(first, file);
    // PNG: 89 'P' 'N' 'G'; JPEG: FF D8; WebP: "RIFF", a size, "WEBP".
    if (first == 0x89) return readPng(file, limits, out, alpha);
    if (first == 0xFF) return readJpeg(file, target, limits, out);
    if (first == 'R') return readWebp(file, limits, out, alpha);
    return notAPictureReason();
}

std::string loadPicture(const std::string& path, const TargetSize& target, const PictureLimits& limits,
                        RgbPicture& out, AlphaUse alpha) {
    if (path == "-") return readPicture(stdin, target, limits, out, alpha);
    std::FILE* file = std::fopen(path.c_str(), "rbe");
    if (file == nullptr) return std::string("cannot open: ") + std::strerror(errno);
    std::string error = readPicture(file, target, limits, out, alpha);
    std::fclose(file);
    return error;
}

}  // namespace vantrel
