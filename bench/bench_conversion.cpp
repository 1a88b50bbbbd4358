// The checked conversion of both renderers into an 80x50 and a 480x270 cell
// grid, and each kernel path on its own, reported per cell; luma for the
// glyph renderer, per pixel.
#include <benchmark/benchmark.h>

#include <random>
#include <type_traits>
#include <vector>

#include "render/convert_kernels.h"
#include "vantrel/glyph_renderer.h"
#include "vantrel/luma.h"
#include "vantrel/shade_renderer.h"

using namespace vantrel;

namespace {

std::vector<Pixel> randomPixels(std::size_t count) {
    std::vector<Pixel> pixels(count);
    std::mt19937 rng(1);
    for (Pixel& p : pixels) {
        const auto w = rng();
        p = {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w >> 16), 0};
    }
    return pixels;
}

// A picture of exactly columns x rows blocks of k x k pixels, and a grid of
// columns x rows cells for it.
struct Frame {
    Frame(int k, int columns, int rows)
        : pixels(randomPixels(static_cast<std::size_t>(k) * columns * k * rows)),
          cells(static_cast<std::size_t>(columns) * rows),
          image{pixels.data(), k * columns, k * rows, k * columns},
          grid{cells.data(), columns, rows, columns} {}
    std::vector<Pixel> pixels;
    std::vector<Cell> cells;
    PixelImage image;
    CellGrid grid;
};

void perCell(benchmark::State& state, const Frame& frame) {
    state.counters["per_cell"] = benchmark::Counter(static_cast<double>(frame.cells.size()),
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

// range(0): block size; range(1) x range(2): the cell grid.
template <class Renderer>
void BM_Checked(benchmark::State& state) {
    const auto k = static_cast<int>(state.range(0));
    Frame frame(k, static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    Renderer renderer;
    renderer.buildTable(GlyphRenderer::printableAscii);
    for (auto _ : state) {
        const bool done = renderer.convert(frame.image, static_cast<BlockSize>(k), frame.grid);
        benchmark::DoNotOptimize(done);
        benchmark::ClobberMemory();
    }
    perCell(state, frame);
}
BENCHMARK(BM_Checked<ShadeRenderer>)
    ->Name("BM_ShadeChecked")
    ->ArgsProduct({{1, 2, 4}, {80}, {50}})
    ->ArgsProduct({{1, 2, 4}, {480}, {270}});
BENCHMARK(BM_Checked<GlyphRenderer>)
    ->Name("BM_GlyphChecked")
    ->ArgsProduct({{1, 2, 4}, {80}, {50}})
    ->ArgsProduct({{1, 2, 4}, {480}, {270}});

// range(0): block size; range(1): the path (0 scalar, 1 SSE2, 2 AVX2); an
// 80x50 cell frame through the kernel alone.
template <class Renderer>
void BM_Path(benchmark::State& state) {
    const auto k = static_cast<int>(state.range(0));
    const auto path = static_cast<ConvertPath>(state.range(1));
    if (!convertPathSupported(path)) {
        state.SkipWithError("this processor lacks the instructions");
        return;
    }
    Frame frame(k, cellColumns, cellRows);
    Renderer renderer;
    renderer.buildTable(GlyphRenderer::printableAscii);
    const ConvertKernels& kernels = std::is_same_v<Renderer, ShadeRenderer> ? shadeKernels(path) : glyphKernels(path);
    const SourceRect whole{0, 0, frame.image.width, frame.image.height};
    for (auto _ : state) {
        convertBlocks(kernels.forBlock(k), k, renderer.tableData(), frame.pixels.data(), whole, frame.image.stride,
                      frame.cells.data(), cellColumns, 0, 0);
        benchmark::ClobberMemory();
    }
    perCell(state, frame);
}
BENCHMARK(BM_Path<ShadeRenderer>)->Name("BM_ShadePath")->ArgsProduct({{1, 2, 4}, {0, 1, 2}});
BENCHMARK(BM_Path<GlyphRenderer>)->Name("BM_GlyphPath")->ArgsProduct({{1, 2, 4}, {0, 1, 2}});

// The glyph renderer's input from a colour picture of 1920x1080 pixels.
void BM_LumaToGreen(benchmark::State& state) {
    const auto in = randomPixels(1920 * 1080);
    std::vector<Pixel> out(in.size());
    for (auto _ : state) {
        const bool done = lumaToGreen({in.data(), 1920, 1080, 1920}, out.data(), 1920);
        benchmark::DoNotOptimize(done);
        benchmark::ClobberMemory();
    }
    state.counters["per_pixel"] = benchmark::Counter(static_cast<double>(in.size()),
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}
BENCHMARK(BM_LumaToGreen)->Unit(benchmark::kMicrosecond);

}  // namespace
