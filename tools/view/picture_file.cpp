#include "tools/view/picture_file.h"

#include <cerrno>
#include <cstring>

namespace vantrel {

std::string readPicture(std::FILE* file, const TargetSize& target, const PictureLimits& limits, RgbPicture& out) {
    const int first = std::getc(file);
    if (first == EOF) return std::ferror(file) ? std::string("cannot read: ") + std::strerror(errno) : "empty file";
    std::ungetc(first, file);
    if (first == 0x89) return readPng(file, limits, out);
    if (first == 0xFF) return readJpeg(file, target, limits, out);
    return "not a PNG or JPEG picture";
}

std::string loadPicture(const std::string& path, const TargetSize& target, const PictureLimits& limits,
                        RgbPicture& out) {
    if (path == "-") return readPicture(stdin, target, limits, out);
    std::FILE* file = std::fopen(path.c_str(), "rbe");
    if (file == nullptr) return std::string("cannot open: ") + std::strerror(errno);
    std::string error = readPicture(file, target, limits, out);
    std::fclose(file);
    return error;
}

}  // namespace vantrel
