// Shade renderer: table build and the three conversions, reported per cell.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "vantrel/shade_renderer.h"

using namespace vantrel;

namespace {

void BM_ShadeBuildTable(benchmark::State& state) {
    ShadeRenderer renderer;
    for (auto _ : state) {
        renderer.buildTable(0);  // the shade renderer takes no flags
        benchmark::DoNotOptimize(renderer.tableData());
    }
}
BENCHMARK(BM_ShadeBuildTable)->Unit(benchmark::kMicrosecond);

std::vector<Pixel> randomPixels(int width, int height) {
    std::vector<Pixel> pixels(static_cast<std::size_t>(width) * height);
    std::mt19937 rng(1);
    for (Pixel& p : pixels) {
        const auto w = rng();
        p = {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w >> 16), 0};
    }
    return pixels;
}

// Converts a width x height buffer with block size k into cell blocks of at
// most 80x50 cells (the size of the destination), tile by tile.
template <int K>
void convertBench(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const auto pixels = randomPixels(width, height);
    ShadeRenderer renderer;
    renderer.buildTable(0);  // the shade renderer takes no flags
    CellBuffer cells{};
    const int tileW = 80 * K;
    const int tileH = 50 * K;
    std::int64_t cellsPerPass = 0;
    for (int top = 0; top + K <= height; top += tileH) {
        for (int left = 0; left + K <= width; left += tileW) {
            const int right = std::min(left + tileW, width);
            const int bottom = std::min(top + tileH, height);
            cellsPerPass += static_cast<std::int64_t>((right - left) / K) * ((bottom - top) / K);
        }
    }
    for (auto _ : state) {
        for (int top = 0; top + K <= height; top += tileH) {
            for (int left = 0; left + K <= width; left += tileW) {
                const SourceRect rect{left, top, std::min(left + tileW, width), std::min(top + tileH, height)};
                if constexpr (K == 1) renderer.convert1x1(pixels.data(), rect, width, 0, 0, cells.data());
                if constexpr (K == 2) renderer.convert2x2(pixels.data(), rect, width, 0, 0, cells.data());
                if constexpr (K == 4) renderer.convert4x4(pixels.data(), rect, width, 0, 0, cells.data());
            }
        }
        benchmark::DoNotOptimize(cells.data());
        benchmark::ClobberMemory();
    }
    state.counters["per_cell"] = benchmark::Counter(
        static_cast<double>(cellsPerPass), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ShadeConvert1x1(benchmark::State& s) { convertBench<1>(s); }
void BM_ShadeConvert2x2(benchmark::State& s) { convertBench<2>(s); }
void BM_ShadeConvert4x4(benchmark::State& s) { convertBench<4>(s); }
BENCHMARK(BM_ShadeConvert1x1)->Args({80, 50})->Args({1920, 1080});
BENCHMARK(BM_ShadeConvert2x2)->Args({80, 50})->Args({1920, 1080});
BENCHMARK(BM_ShadeConvert4x4)->Args({80, 50})->Args({1920, 1080});

}  // namespace
