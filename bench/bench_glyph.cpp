// Glyph renderer: the table build (the renderer's fast search, the plain
// reference search and each fast search form on its own) and the three
// conversions of the 80x50 frame.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <vector>

#include "vantrel/glyph_renderer.h"
#include "render/glyph_search.h"

using namespace vantrel;

namespace {

void BM_GlyphBuildTableFast(benchmark::State& state) {
    const auto flags = static_cast<std::int32_t>(state.range(0));
    GlyphRenderer renderer;
    for (auto _ : state) {
        renderer.buildTable(flags);
        benchmark::DoNotOptimize(renderer.tableData());
    }
}
BENCHMARK(BM_GlyphBuildTableFast)->Arg(GlyphRenderer::printableAscii)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_GlyphBuildTablePlain(benchmark::State& state) {
    const auto flags = static_cast<std::int32_t>(state.range(0));
    const auto table = std::make_unique<Cell[]>(GlyphRenderer::tableSize);
    for (auto _ : state) {
        buildGlyphTablePlain(flags, table.get());
        benchmark::DoNotOptimize(table.get());
    }
}
BENCHMARK(BM_GlyphBuildTablePlain)->Arg(GlyphRenderer::printableAscii)->Arg(0)->Unit(benchmark::kMillisecond);

// Each fast form alone: range(1) is the GlyphSearch (1 scalar, 2 SSE2, 3 AVX2).
void BM_GlyphBuildTableSearch(benchmark::State& state) {
    const auto flags = static_cast<std::int32_t>(state.range(0));
    const auto search = static_cast<GlyphSearch>(state.range(1));
    if (!glyphSearchSupported(search)) {
        state.SkipWithError("this processor lacks the instructions");
        return;
    }
    const auto table = std::make_unique<Cell[]>(GlyphRenderer::tableSize);
    for (auto _ : state) {
        buildGlyphTable(search, flags, table.get());
        benchmark::DoNotOptimize(table.get());
    }
}
BENCHMARK(BM_GlyphBuildTableSearch)
    ->ArgsProduct({{GlyphRenderer::printableAscii, 0}, {1, 2, 3}})
    ->Unit(benchmark::kMillisecond);

std::vector<Pixel> randomFrame() {
    std::vector<Pixel> pixels(80 * 50);
    std::mt19937 rng(1);
    for (Pixel& p : pixels) {
        const auto w = rng();
        p = {static_cast<std::uint8_t>(w), static_cast<std::uint8_t>(w >> 8), static_cast<std::uint8_t>(w >> 16), 0};
    }
    return pixels;
}

// The whole 80x50 frame with block size K: 4000, 1000 or 240 cells.
template <int K>
void BM_GlyphConvert(benchmark::State& state) {
    const auto pixels = randomFrame();
    GlyphRenderer renderer;
    renderer.buildTable(GlyphRenderer::printableAscii);
    CellBuffer cells{};
    const SourceRect whole{0, 0, 80, 50};
    for (auto _ : state) {
        if constexpr (K == 1) renderer.convert1x1(pixels.data(), whole, 80, 0, 0, cells.data());
        if constexpr (K == 2) renderer.convert2x2(pixels.data(), whole, 80, 0, 0, cells.data());
        if constexpr (K == 4) renderer.convert4x4(pixels.data(), whole, 80, 0, 0, cells.data());
        benchmark::DoNotOptimize(cells.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * (80 / K) * (50 / K));
}
BENCHMARK(BM_GlyphConvert<1>)->Name("BM_GlyphConvert1x1")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlyphConvert<2>)->Name("BM_GlyphConvert2x2")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlyphConvert<4>)->Name("BM_GlyphConvert4x4")->Unit(benchmark::kMicrosecond);

}  // namespace
