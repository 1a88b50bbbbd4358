// Writes the pictures made in picture_scenes.cpp as PNG files, for trying
// and measuring the viewer: view_pictures DIRECTORY [WIDTH HEIGHT]
// (default 640x480) gives gradient.png, scene.png and chart.png, and
// scene.rgb: 30 frames of raw video (3 bytes a pixel) panning across the
// scene, for vantrel-view --raw WIDTHxHEIGHT.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/picture_scenes.h"
#include "tools/png_file.h"

using namespace vantrel;

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fputs("usage: view_pictures DIRECTORY [WIDTH HEIGHT]\n", stderr);
        return 2;
    }
    const int width = argc == 4 ? std::atoi(argv[2]) : 640;
    const int height = argc == 4 ? std::atoi(argv[3]) : 480;
    if (width < 1 || height < 1 || width > 8192 || height > 8192) {
        std::fputs("view_pictures: WIDTH and HEIGHT must be 1 to 8192\n", stderr);
        return 2;
    }
    const struct {
        const char* name;
        RgbPicture (*make)(int, int);
    } pictures[] = {{"gradient", gradientPicture}, {"scene", scenePicture}, {"chart", chartPicture}};
    for (const auto& picture : pictures) {
        const RgbPicture p = picture.make(width, height);
        std::vector<std::uint8_t> png;
        const std::string path = std::string(argv[1]) + "/" + picture.name + ".png";
        std::FILE* file = nullptr;
        if (const std::string error = encodeRgbPng(p.rgb.get(), width, height, png); !error.empty() ||
            (file = std::fopen(path.c_str(), "wb")) == nullptr || std::fwrite(png.data(), 1, png.size(), file) != png.size()) {
            std::fprintf(stderr, "view_pictures: cannot write %s\n", path.c_str());
            if (file != nullptr) std::fclose(file);
            return 1;
        }
        if (std::fclose(file) != 0) return 1;
    }
    constexpr int frames = 30, step = 4;
    const RgbPicture wide = scenePicture(width + frames * step, height);
    const std::string path = std::string(argv[1]) + "/scene.rgb";
    std::FILE* video = std::fopen(path.c_str(), "wb");
    if (video == nullptr) return 1;
    for (int f = 0; f < frames; ++f) {
        for (int y = 0; y < height; ++y) {
            std::fwrite(wide.rgb.get() + y * wide.rowBytes() + f * step * 3, 1, static_cast<std::size_t>(width) * 3, video);
        }
    }
    if (std::fclose(video) != 0) return 1;
    return 0;
}
