// The picture readers on a 1920x1080 ray-traced scene held in memory: a
// JPEG as stored, turned by its Exif orientation, in Adobe CMYK, and reduced
// for an 80x50 view; a lossy WebP; a PNG with alpha blended onto black.
#include <benchmark/benchmark.h>
#include <png.h>
#include <webp/encode.h>

#include <cstdio>
#include <vector>

#include "bench/picture_scenes.h"
#include "tests/jpeg_bytes.h"
#include "tools/view/picture_file.h"

using namespace vantrel;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr int width = 1920, height = 1080;

const RgbPicture& scene() {
    static const RgbPicture picture = scenePicture(width, height);
    return picture;
}

Bytes jpeg(int orientation, bool cmyk) {
    Bytes inks;
    if (cmyk) {
        // Adobe's inverted inks: stored as what each ink leaves of white, no black.
        inks.resize(std::size_t{width} * height * 4);
        for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
            for (int c = 0; c < 3; ++c) inks[i * 4 + c] = scene().rgb[i * 3 + c];
            inks[i * 4 + 3] = 255;
        }
    }
    return test_pictures::encodeJpeg({.width = width, .height = height,
                                      .pixels = cmyk ? inks.data() : scene().rgb.get(), .cmyk = cmyk,
                                      .quality = 90, .orientation = orientation});
}

Bytes webp() {
    std::uint8_t* out = nullptr;
    const std::size_t size = WebPEncodeRGB(scene().rgb.get(), width, height, width * 3, 80, &out);
    Bytes bytes(out, out + size);
    WebPFree(out);
    return bytes;
}

Bytes pngWithAlpha() {
    Bytes rgba(std::size_t{width} * height * 4);
    for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
        for (int c = 0; c < 3; ++c) rgba[i * 4 + c] = scene().rgb[i * 3 + c];
        rgba[i * 4 + 3] = static_cast<std::uint8_t>(i % width * 255 / (width - 1));
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr);
    Bytes png(size);
    png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr);
    png.resize(size);
    return png;
}

void readFile(benchmark::State& state, const Bytes& file, const TargetSize& target = nullptr) {
    for (auto _ : state) {
        std::FILE* f = fmemopen(const_cast<std::uint8_t*>(file.data()), file.size(), "rb");
        RgbPicture picture;
        const std::string error = readPicture(f, target, PictureLimits{}, picture);
        std::fclose(f);
        if (!error.empty()) state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(picture.rgb.get());
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

void BM_JpegAsStored(benchmark::State& state) {
    static const Bytes file = jpeg(1, false);
    readFile(state, file);
}
void BM_JpegTurnedQuarter(benchmark::State& state) {
    static const Bytes file = jpeg(6, false);
    readFile(state, file);
}
void BM_JpegAdobeCmyk(benchmark::State& state) {
    static const Bytes file = jpeg(1, true);
    readFile(state, file);
}
void BM_JpegReducedFor80x50(benchmark::State& state) {
    static const Bytes file = jpeg(6, false);
    readFile(state, file, [](int, int, int& w, int& h) { w = 80, h = 50; });
}
void BM_WebpLossy(benchmark::State& state) {
    static const Bytes file = webp();
    readFile(state, file);
}
void BM_PngAlphaOntoBlack(benchmark::State& state) {
    static const Bytes file = pngWithAlpha();
    readFile(state, file);
}

}  // namespace

BENCHMARK(BM_JpegAsStored)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegTurnedQuarter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegAdobeCmyk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JpegReducedFor80x50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WebpLossy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngAlphaOntoBlack)->Unit(benchmark::kMillisecond);
