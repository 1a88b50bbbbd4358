// The picture measure on an 80x50 grid (640x800 drawn pixels) against a
// 320x200 picture: not a hot path, but a judging run over many pictures
// should take well under a second each.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "vantrel/picture_figures.h"

using namespace vantrel;

static void BM_MeasurePicture80x50(benchmark::State& state) {
    std::mt19937 random(7);
    const auto byte = [&] { return static_cast<std::uint8_t>(random() & 255); };
    const int width = 320, height = 200, columns = 80, rows = 50;
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width * height * 3));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {  // a smooth picture with some noise
            std::uint8_t* p = &picture[static_cast<std::size_t>((y * width + x) * 3)];
            p[0] = static_cast<std::uint8_t>(x * 255 / width), p[1] = static_cast<std::uint8_t>(y * 255 / height);
            p[2] = static_cast<std::uint8_t>(128 + (byte() & 31));
        }
    }
    std::vector<ColouredCell> cells(static_cast<std::size_t>(columns * rows));
    for (ColouredCell& cell : cells) {  // sextants in random colours
        cell = {U'\U0001FB00' + static_cast<char32_t>(random() % 60), {byte(), byte(), byte()}, {byte(), byte(), byte()}};
    }
    PictureFigures figures;
    for (auto _ : state) {
        measurePicture(picture.data(), width, height, width * 3, cells.data(), columns, rows, figures);
        benchmark::DoNotOptimize(figures);
    }
}
BENCHMARK(BM_MeasurePicture80x50)->Unit(benchmark::kMillisecond);
