// The viewer's video path: a 640x360 raw RGB frame scaled by area averaging
// in linear light, converted and encoded for a terminal at 80x50 cells, into
// memory. The frames are a panning view of a rendered scene, so that the
// diffing encoder has changes to write every frame.
#include <benchmark/benchmark.h>

#include <optional>
#include <vector>

#include "bench/picture_scenes.h"
#include "vantrel/area_scaler.h"
#include "vantrel/mosaic_encoder.h"
#include "tools/view/view_picture.h"

using namespace vantrel;

namespace {

constexpr int frameWidth = 640, frameHeight = 360, frames = 8, panStep = 10;

const RgbPicture& panorama() {
    static const RgbPicture scene = scenePicture(frameWidth + frames * panStep, frameHeight);
    return scene;
}

ByteImage frame(int i) {
    return {panorama().rgb.get() + (i % frames) * panStep * 3, frameWidth, frameHeight, panorama().rowBytes(),
            PixelLayout::rgb};
}

ViewOptions optionsFor(RendererKind renderer, BlockSize block, bool dither) {
    ViewOptions options;
    options.renderer = renderer;
    options.block = block;
    options.dither = dither;
    return options;
}

// Frames of the panning video converted and encoded for 80x50 cells, with
// the bytes a frame the encoder writes.
void encodeFrames(benchmark::State& state, ViewPicture& converter, ColourMode mode) {
    MosaicEncoder encoder(mode, centreFrame(80, 50, 80, 50));
    std::size_t bytes = 0;
    int i = 0;
    for (auto _ : state) {
        const ShownPicture& shown = converter.convert(frame(i++), {80, 50});
        const std::string_view out = encoder.encode(shown.view());
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes/frame"] = benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
}

void videoFrame(benchmark::State& state, RendererKind renderer, BlockSize block, bool dither) {
    ViewPicture converter(optionsFor(renderer, block, dither), ColourMode::ansi16);
    encodeFrames(state, converter, ColourMode::ansi16);
}

void BM_VideoFrameShadeDither(benchmark::State& state) { videoFrame(state, RendererKind::shade, BlockSize::one, true); }
void BM_VideoFrameShade(benchmark::State& state) { videoFrame(state, RendererKind::shade, BlockSize::one, false); }
void BM_VideoFrameGlyph(benchmark::State& state) { videoFrame(state, RendererKind::glyph, BlockSize::two, false); }
BENCHMARK(BM_VideoFrameShadeDither);
BENCHMARK(BM_VideoFrameShade);
BENCHMARK(BM_VideoFrameGlyph);

// The mosaic (blocks: its half blocks only) in 24-bit colour, through the
// viewer's path: scaled, converted and encoded.
void mosaicFrame(benchmark::State& state, RendererKind renderer, std::optional<MosaicSymbols> symbols) {
    ViewOptions options = optionsFor(renderer, BlockSize::one, false);
    options.symbols = symbols;
    ViewPicture converter(options, ColourMode::truecolor, vgaPalette());
    encodeFrames(state, converter, ColourMode::truecolor);
}
void BM_VideoFrameBlocks(benchmark::State& state) { mosaicFrame(state, RendererKind::blocks, std::nullopt); }
void BM_VideoFrameMosaic(benchmark::State& state) { mosaicFrame(state, RendererKind::mosaic, std::nullopt); }
void BM_VideoFrameMosaicEverySet(benchmark::State& state) {
    mosaicFrame(state, RendererKind::mosaic,
                MosaicSymbols::half | MosaicSymbols::quad | MosaicSymbols::eighths | MosaicSymbols::sextant |
                    MosaicSymbols::shade);
}
BENCHMARK(BM_VideoFrameBlocks);
BENCHMARK(BM_VideoFrameMosaic);
BENCHMARK(BM_VideoFrameMosaicEverySet);

// The area average alone, to 80x50 pixels.
void BM_ScaleFrame(benchmark::State& state) {
    AreaScaler scaler;
    scaler.setSizes(frameWidth, frameHeight, 80, 50);
    std::vector<Pixel> out(80 * 50);
    int i = 0;
    for (auto _ : state) {
        scaler.scale(frame(i++), out.data(), 80);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ScaleFrame);

// A picture of 1 x 1,000,000 pixels to 4000x12 samples (1000x3 cells of
// 4x4): the rows are summed before anything is widened.
void BM_ScaleTallPicture(benchmark::State& state) {
    const int length = 1'000'000;
    std::vector<std::uint8_t> line(static_cast<std::size_t>(length) * 3);
    for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<std::uint8_t>(i * 7);
    AreaScaler scaler;
    scaler.setSizes(1, length, 4000, 12);
    std::vector<LinearRgb> out(4000 * 12);
    for (auto _ : state) {
        scaler.scaleLinear({line.data(), 1, length, 3, PixelLayout::rgb}, out.data(), 4000);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_ScaleTallPicture);

}  // namespace
