// The viewer's video path: a 640x360 raw RGB frame scaled by area averaging
// in linear light, converted and encoded for a terminal at 80x50 cells, into
// memory. The frames are a panning view of a rendered scene, so that the
// diffing encoder has changes to write every frame.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/picture_scenes.h"
#include "vantrel/frame_encoder.h"
#include "vantrel/mosaic_encoder.h"
#include "tools/view/picture_converter.h"

using namespace vantrel;

namespace {

constexpr int frameWidth = 640, frameHeight = 360, frames = 8, panStep = 10;

const RgbPicture& panorama() {
    static const RgbPicture scene = scenePicture(frameWidth + frames * panStep, frameHeight);
    return scene;
}

const std::uint8_t* frame(int i) { return panorama().rgb.get() + (i % frames) * panStep * 3; }

void videoFrame(benchmark::State& state, RendererKind renderer, BlockSize block, bool dither) {
    PictureConverter converter(renderer, block, dither);
    converter.setSizes(frameWidth, frameHeight, {80, 50});
    FrameEncoder encoder(ColourMode::ansi16, centreFrame(80, 50, 80, 50));
    std::size_t bytes = 0;
    int i = 0;
    for (auto _ : state) {
        const ShownPicture& shown = converter.convert(frame(i++), panorama().rowBytes());
        const std::string_view out = encoder.encode({shown.cells.data(), shown.columns, shown.rows, shown.columns});
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes/frame"] = benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
}

void BM_VideoFrameShadeDither(benchmark::State& state) { videoFrame(state, RendererKind::shade, BlockSize::one, true); }
void BM_VideoFrameShade(benchmark::State& state) { videoFrame(state, RendererKind::shade, BlockSize::one, false); }
void BM_VideoFrameGlyph(benchmark::State& state) { videoFrame(state, RendererKind::glyph, BlockSize::two, false); }
BENCHMARK(BM_VideoFrameShadeDither);
BENCHMARK(BM_VideoFrameShade);
BENCHMARK(BM_VideoFrameGlyph);

// The blocks renderer: two colours a cell in half blocks, in 24-bit colour.
void BM_VideoFrameBlocks(benchmark::State& state) {
    PictureConverter converter(RendererKind::blocks, BlockSize::one, false);
    converter.setSizes(frameWidth, frameHeight, {80, 50});
    MosaicEncoder encoder(ColourMode::truecolor, centreFrame(80, 50, 80, 50));
    std::vector<MosaicCell> cells;
    std::size_t bytes = 0;
    int i = 0;
    for (auto _ : state) {
        const ShownPicture& shown = converter.convert(frame(i++), panorama().rowBytes());
        halfBlockCells(shown, ColourMode::truecolor, cells);
        const std::string_view out = encoder.encode({cells.data(), shown.columns, shown.rows, shown.columns});
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes/frame"] = benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_VideoFrameBlocks);

// The area average alone, to 80x50 pixels.
void BM_ScaleFrame(benchmark::State& state) {
    AreaScaler scaler;
    scaler.setSizes(frameWidth, frameHeight, 80, 50);
    std::vector<Pixel> out(80 * 50);
    int i = 0;
    for (auto _ : state) {
        scaler.scale(frame(i++), panorama().rowBytes(), out.data(), 80);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ScaleFrame);

}  // namespace
