// Clipped antialiased lines: a fixed set of random lines, many from outside
// the window, drawn into the frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "vantrel/draw.h"

using namespace vantrel;

namespace {

void BM_ClipAndDrawLine(benchmark::State& state) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> x(-40, 120), y(-25, 75);
    std::vector<ScreenLine> lines(1000);
    for (ScreenLine& l : lines) l = {x(rng), y(rng), x(rng), y(rng)};
    const Vec3 colour{0.2f, 0.3f, 0.1f};
    for (auto _ : state) {
        std::memset(static_cast<void*>(screenPixels), 0, sizeof(PixelBuffer));
        for (const ScreenLine& l : lines) {
            ScreenLine scratch = l;
            clipAndDrawLine(scratch, colour);
        }
        benchmark::ClobberMemory();
    }
    state.counters["per_line"] = benchmark::Counter(
        static_cast<double>(lines.size()), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ClipAndDrawLine)->Unit(benchmark::kMicrosecond);

void BM_SplatPoint(benchmark::State& state) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> d(-0.6f, 0.6f);
    std::vector<Vec3> points(200);
    for (Vec3& p : points) p = {d(rng), d(rng), 1};
    for (auto _ : state) {
        for (const Vec3& p : points) splatPoint(p, {0.7f, 0.7f, 0.7f});
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SplatPoint)->Unit(benchmark::kMicrosecond);

}  // namespace
