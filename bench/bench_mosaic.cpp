// The mosaic renderer on the viewer's video path: a 640x360 RGB frame of a
// panning scene, area-averaged in linear light to 8x8 samples a cell for
// 80x50 cells, then converted; and the conversion alone, for each colour
// mode and symbol set.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench/picture_scenes.h"
#include "vantrel/area_scaler.h"
#include "vantrel/mosaic_encoder.h"
#include "vantrel/mosaic_renderer.h"

using namespace vantrel;

namespace {

constexpr int frameWidth = 640, frameHeight = 360, frames = 8, panStep = 10;
constexpr int columns = 80, rows = 50;
constexpr int sampleWidth = columns * MosaicRenderer::sampleColumns, sampleHeight = rows * MosaicRenderer::sampleRows;

const RgbPicture& panorama() {
    static const RgbPicture scene = scenePicture(frameWidth + frames * panStep, frameHeight);
    return scene;
}

ByteImage frame(int i) {
    return {panorama().rgb.get() + (i % frames) * panStep * 3, frameWidth, frameHeight, panorama().rowBytes(), PixelLayout::rgb};
}

constexpr MosaicSymbols everySet = MosaicSymbols::half | MosaicSymbols::quad | MosaicSymbols::eighths |
                                   MosaicSymbols::sextant | MosaicSymbols::shade;

MosaicOptions optionsFor(ColourMode mode, bool eight, MosaicSymbols symbols) {
    MosaicOptions o;
    o.mode = mode;
    o.eightBackgrounds = eight;
    o.symbols = symbols;
    return o;
}

// Scaled and converted, every frame (scaled: false converts frames scaled beforehand).
void mosaicFrame(benchmark::State& state, const MosaicOptions& options, bool scaled) {
    AreaScaler scaler;
    scaler.setSizes(frameWidth, frameHeight, sampleWidth, sampleHeight);
    std::vector<LinearRgb> samples(static_cast<std::size_t>(sampleWidth) * sampleHeight * frames);
    const std::size_t frameSamples = static_cast<std::size_t>(sampleWidth) * sampleHeight;
    for (int i = 0; i < frames; ++i) {
        scaler.scaleLinear(frame(i), samples.data() + frameSamples * static_cast<std::size_t>(i),
                           sampleWidth);
    }
    MosaicRenderer renderer(options);
    renderer.setSize(columns, rows);
    std::vector<MosaicCell> cells(columns * rows);
    int i = 0;
    for (auto _ : state) {
        LinearRgb* in = samples.data() + frameSamples * static_cast<std::size_t>(i % frames);
        if (scaled) scaler.scaleLinear(frame(i), in, sampleWidth);
        renderer.convert(in, sampleWidth, columns, rows, cells.data(), columns);
        benchmark::DoNotOptimize(cells.data());
        ++i;
    }
}

void BM_MosaicScaledTruecolorDefault(benchmark::State& s) {
    mosaicFrame(s, optionsFor(ColourMode::truecolor, false, {}), true);
}
void BM_MosaicTruecolorDefault(benchmark::State& s) { mosaicFrame(s, optionsFor(ColourMode::truecolor, false, {}), false); }
void BM_MosaicTruecolorEvery(benchmark::State& s) { mosaicFrame(s, optionsFor(ColourMode::truecolor, false, everySet), false); }
void BM_MosaicTruecolorHalf(benchmark::State& s) {
    mosaicFrame(s, optionsFor(ColourMode::truecolor, false, MosaicSymbols::half), false);
}
void BM_Mosaic256Default(benchmark::State& s) { mosaicFrame(s, optionsFor(ColourMode::ansi256, false, {}), false); }
void BM_Mosaic256Every(benchmark::State& s) { mosaicFrame(s, optionsFor(ColourMode::ansi256, false, everySet), false); }
void BM_Mosaic16Default(benchmark::State& s) { mosaicFrame(s, optionsFor(ColourMode::ansi16, false, {}), false); }
void BM_Mosaic16Every(benchmark::State& s) { mosaicFrame(s, optionsFor(ColourMode::ansi16, false, everySet), false); }
void BM_Mosaic16Over8Default(benchmark::State& s) { mosaicFrame(s, optionsFor(ColourMode::ansi16, true, {}), false); }
BENCHMARK(BM_MosaicScaledTruecolorDefault);
BENCHMARK(BM_MosaicTruecolorDefault);
BENCHMARK(BM_MosaicTruecolorEvery);
BENCHMARK(BM_MosaicTruecolorHalf);
BENCHMARK(BM_Mosaic256Default);
BENCHMARK(BM_Mosaic256Every);
BENCHMARK(BM_Mosaic16Default);
BENCHMARK(BM_Mosaic16Every);
BENCHMARK(BM_Mosaic16Over8Default);

// The whole path of one video frame: scaled to 8x8 samples a cell, converted
// and encoded for a terminal of 80x50 cells, into memory, 24-bit colour.
void mosaicVideo(benchmark::State& state, const MosaicOptions& options) {
    AreaScaler scaler;
    scaler.setSizes(frameWidth, frameHeight, sampleWidth, sampleHeight);
    std::vector<LinearRgb> samples(static_cast<std::size_t>(sampleWidth) * sampleHeight);
    MosaicRenderer renderer(options);
    renderer.setSize(columns, rows);
    std::vector<MosaicCell> cells(columns * rows);
    MosaicEncoder encoder(options.mode, centreFrame(columns, rows, columns, rows));
    std::size_t bytes = 0;
    int i = 0;
    for (auto _ : state) {
        scaler.scaleLinear(frame(i++), samples.data(), sampleWidth);
        renderer.convert(samples.data(), sampleWidth, columns, rows, cells.data(), columns);
        const std::string_view out = encoder.encode({cells.data(), columns, rows, columns});
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes/frame"] =
        benchmark::Counter(static_cast<double>(bytes) / static_cast<double>(state.iterations()));
}
void BM_MosaicVideoTruecolorDefault(benchmark::State& s) { mosaicVideo(s, optionsFor(ColourMode::truecolor, false, {})); }
void BM_MosaicVideoTruecolorEvery(benchmark::State& s) {
    mosaicVideo(s, optionsFor(ColourMode::truecolor, false, everySet));
}
BENCHMARK(BM_MosaicVideoTruecolorDefault);
BENCHMARK(BM_MosaicVideoTruecolorEvery);

// The area average alone, to the samples of 80x50 cells.
void BM_MosaicScaleFrame(benchmark::State& state) {
    AreaScaler scaler;
    scaler.setSizes(frameWidth, frameHeight, sampleWidth, sampleHeight);
    std::vector<LinearRgb> out(static_cast<std::size_t>(sampleWidth) * sampleHeight);
    int i = 0;
    for (auto _ : state) {
        scaler.scaleLinear(frame(i++), out.data(), sampleWidth);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MosaicScaleFrame);

}  // namespace
