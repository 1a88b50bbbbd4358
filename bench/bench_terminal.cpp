// The terminal frame encoder on a recorded 600-frame flight: time and bytes
// per frame, beside a naive encoder that repaints every cell of every frame
// (reusing a colour code only between neighbouring cells of one frame).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "vantrel/frame_encoder.h"
#include "render/cell_frames.h"

using namespace vantrel;

namespace {

const std::vector<CellBuffer>& flight() {
    static const std::vector<CellBuffer> frames = readCellFrames(VANTREL_FLIGHT_CELLS);
    return frames;
}

// Every cell every frame: each row from its start, colour codes when the
// colour differs from the cell before.
class NaiveEncoder {
public:
    NaiveEncoder(ColourMode m, const GlyphTable& g) : mode(m), glyphs(g) {}

    std::string_view encode(const Cell* frame) {
        ByteWriter out(buffer.data(), buffer.size());
        out.put("\x1b[?2026h");
        int foreground = -1;
        int background = -1;
        for (int r = 0; r < cellRows; ++r) {
            out.put("\x1b[");
            out.number(static_cast<unsigned>(r + 1));
            out.put('H');
            for (int c = 0; c < cellColumns; ++c) {
                const Cell cell = frame[r * cellColumns + c];
                const int fg = cellForeground(cell);
                const int bg = cellBackground(cell);
                writeColours(out, mode, fg != foreground ? fg : -1, bg != background ? bg : -1);
                foreground = fg;
                background = bg;
                const GlyphBytes& glyph = glyphs[cellCharacter(cell)];
                out.put(glyph.bytes, glyph.size);
            }
        }
        out.put("\x1b[?2026l");
        return out.view();
    }

private:
    ColourMode mode;
    const GlyphTable& glyphs;
    std::array<char, FrameEncoder::capacity> buffer{};
};

template <class Encoder>
void runFlight(benchmark::State& state, Encoder& encoder, void (*restart)(Encoder&)) {
    const auto& frames = flight();
    if (frames.empty()) {
        state.SkipWithError("no recorded flight at " VANTREL_FLIGHT_CELLS);
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        restart(encoder);
        for (const CellBuffer& frame : frames) {
            const std::string_view out = encoder.encode(frame.data());
            benchmark::DoNotOptimize(out.data());
            bytes += out.size();
        }
    }
    const auto framesRun = static_cast<double>(frames.size()) * static_cast<double>(state.iterations());
    state.counters["bytes_per_frame"] = static_cast<double>(bytes) / framesRun;
    state.counters["time_per_frame"] = benchmark::Counter(static_cast<double>(frames.size()),
                                                          benchmark::Counter::kIsIterationInvariantRate |
                                                              benchmark::Counter::kInvert);
}

void BM_DiffEncoder(benchmark::State& state) {
    const auto mode = static_cast<ColourMode>(state.range(0));
    auto encoder = std::make_unique<FrameEncoder>(mode, cp437Glyphs(), 80, 50);
    runFlight<FrameEncoder>(state, *encoder, [](FrameEncoder& e) { e.forgetScreen(); });
}

void BM_NaiveEncoder(benchmark::State& state) {
    const auto mode = static_cast<ColourMode>(state.range(0));
    auto encoder = std::make_unique<NaiveEncoder>(mode, cp437Glyphs());
    runFlight<NaiveEncoder>(state, *encoder, [](NaiveEncoder&) {});
}

// Argument: 0 the terminal's sixteen colours, 1 truecolor.
BENCHMARK(BM_DiffEncoder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveEncoder)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
