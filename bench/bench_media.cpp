// Video files through vantrel-view's path, with no terminal pacing: decode
// (FFmpeg, frame threads), convert with libswscale to an intermediate size,
// area-average in linear light onto the renderer's grid, render and encode
// for an 80x50 terminal; frames a second as items_per_second. The clip is
// 10 s of ffmpeg's testsrc2 at 640x360 and 30 fps in H.264, made at start
// (needs the ffmpeg program) unless VANTREL_BENCH_CLIP names one.
//
// The intermediate size is FACTOR times the renderer's grid each way (0: the
// decoded size, so that the area average does all the scaling). Each run
// also reports "dE": the mean CIEDE2000 difference of the grid it makes from
// the decoded frame averaged in full in linear light, over the first frames.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "vantrel/area_scaler.h"
#include "vantrel/colour_difference.h"
#include "tools/view/media/media_source.h"
#include "tools/view/video_screen.h"
#include "tools/view/view_picture.h"

using namespace vantrel;

namespace {

const std::string& clipPath() {
    static const std::string path = [] {
        if (const char* given = std::getenv("VANTREL_BENCH_CLIP")) return std::string(given);
        char folder[] = "/tmp/vantrel-bench-XXXXXX";
        if (::mkdtemp(folder) == nullptr) return std::string();
        const std::string clip = std::string(folder) + "/clip.mp4";
        const std::string command = "ffmpeg -loglevel error -nostdin -y -f lavfi -i testsrc2=size=640x360:rate=30 -t 10 "
                                    "-c:v libx264 -pix_fmt yuv420p '" + clip + "'";
        return std::system(command.c_str()) == 0 ? clip : std::string();
    }();
    return path;
}

std::unique_ptr<MediaSource> openClip(std::string& error) {
    if (clipPath().empty()) {
        error = "no clip: install ffmpeg or set VANTREL_BENCH_CLIP";
        return nullptr;
    }
    MediaInput input;
    input.fd = ::open(clipPath().c_str(), O_RDONLY | O_CLOEXEC);  // kept open for the run
    return openMedia(std::move(input), MediaLimits{}, error);
}

Extent intermediate(const MediaSource& source, CellCount samples, int factor) {
    if (factor == 0) return {source.width(), source.height()};
    return {std::min(source.width(), samples.columns * factor), std::min(source.height(), samples.rows * factor)};
}

// The mean CIEDE2000 of the grid made through `factor` from the full
// linear-light average, over the first 30 frames.
double gridDifference(MediaSource& source, CellCount samples, int factor) {
    AreaScaler viaIntermediate, direct;
    std::vector<LinearRgb> made(static_cast<std::size_t>(samples.columns) * samples.rows), reference(made.size());
    double sum = 0;
    int frames = 0;
    source.seek(0);
    while (frames < 30 && source.decode() == DecodeResult::frame) {
        const Extent size = intermediate(source, samples, factor);
        source.setOutputSize(size.width, size.height);
        const MediaFrame small = source.convert();
        viaIntermediate.setSizes(small.width, small.height, samples.columns, samples.rows);
        viaIntermediate.scaleLinear(ByteImage{small.pixels, small.width, small.height, small.rowBytes, PixelLayout::rgb},
                                    made.data(), samples.columns);
        source.setOutputSize(source.width(), source.height());
        const MediaFrame full = source.convert();
        direct.setSizes(full.width, full.height, samples.columns, samples.rows);
        direct.scaleLinear(ByteImage{full.pixels, full.width, full.height, full.rowBytes, PixelLayout::rgb},
                           reference.data(), samples.columns);
        for (std::size_t i = 0; i < made.size(); ++i) sum += ciede2000(toLab(made[i]), toLab(reference[i]));
        ++frames;
    }
    source.seek(0);
    return frames == 0 ? 0 : sum / (static_cast<double>(frames) * static_cast<double>(made.size()));
}

void playFrames(benchmark::State& state, RendererKind renderer, ColourMode mode) {
    const int factor = static_cast<int>(state.range(0));
    std::string error;
    std::unique_ptr<MediaSource> source = openClip(error);
    if (!source) {
        state.SkipWithError(error.c_str());
        return;
    }
    const CellCount cells{80, 50};
    ViewOptions options;
    options.renderer = renderer;
    ViewPicture converter(options, mode);
    const CellCount samples = converter.samplesFor(cells);
    state.counters["dE"] = gridDifference(*source, samples, factor);
    const Extent size = intermediate(*source, samples, factor);
    source->setOutputSize(size.width, size.height);
    VideoScreen screen(mode);
    screen.setLayout(centreFrame(cells.columns, cells.rows, cells.columns, cells.rows));
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (source->decode() != DecodeResult::frame) {
            source->seek(0);
            if (source->decode() != DecodeResult::frame) {
                state.SkipWithError(source->error().c_str());
                return;
            }
        }
        const MediaFrame frame = source->convert();
        const ByteImage image{frame.pixels, frame.width, frame.height, frame.rowBytes, PixelLayout::rgb};
        const std::string_view out = screen.encode(converter.convert(image, cells));
        bytes += out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["bytes/frame"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
}

void BM_MediaBlocksTruecolor(benchmark::State& state) { playFrames(state, RendererKind::blocks, ColourMode::truecolor); }
void BM_MediaShade16(benchmark::State& state) { playFrames(state, RendererKind::shade, ColourMode::ansi16); }
BENCHMARK(BM_MediaBlocksTruecolor)->Arg(1)->Arg(2)->Arg(4)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MediaShade16)->Arg(1)->Arg(2)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
