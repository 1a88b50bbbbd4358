// One whole frame of the flight scene: update, clear, draw (stars, 120
// objects, gauge) and convert to cells with the shade renderer. The scene is
// taken from a point of a scripted flight with objects in view and replayed
// from there, so that every measured frame is a typical one.
#include <benchmark/benchmark.h>

#include <memory>

#include "console/headless/headless_host.h"
#include "demo/frame_loop.h"
#include "demo/random.h"
#include "demo/stars.h"
#include "vantrel/shade_renderer.h"

using namespace vantrel;

namespace {

// The frames replayed before the scene is put back to the snapshot.
constexpr int replayLength = 256;

struct Snapshot {
    FlightState state;
    std::array<Star, starCount> stars;
    std::uint32_t random;
};

void BM_FlightFrame(benchmark::State& bench) {
    HeadlessConfig config;  // no button down: the speed stays as set below
    startHeadlessHost(config);
    randomState = initialRandomState;
    ShadeRenderer renderer;
    renderer.buildTable(0);  // the shade renderer takes no flags

    auto flight = std::make_unique<FlightState>();
    setupScene(flight->camera, flight->instances);
    flight->cameraSpeed = 0.3f;
    flight->mouseX = 0.6f;  // a gentle roll to the right
    flight->mouseY = 0.45f;
    std::uint32_t tick = 1000;
    for (int i = 0; i < 30; ++i) renderFrame(*flight, tick += 10, renderer);

    const auto snapshot = std::make_unique<Snapshot>(Snapshot{*flight, starField, randomState});
    int replayed = 0;
    for (auto _ : bench) {
        if (replayed == replayLength) {
            bench.PauseTiming();
            *flight = snapshot->state;
            starField = snapshot->stars;
            randomState = snapshot->random;
            replayed = 0;
            bench.ResumeTiming();
        }
        renderFrame(*flight, tick += 10, renderer);
        ++replayed;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FlightFrame);

}  // namespace
