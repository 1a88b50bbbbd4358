// The terminal frame encoder on a recorded 600-frame flight: time and bytes
// per frame, beside a naive encoder that repaints every cell of every frame
// (reusing a colour code only between neighbouring cells of one frame), and
// inline printing of the same frames; and the half-block form that lines
// shows on a terminal of fewer than 50 rows, through the mosaic encoder and
// printed inline.
#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <memory>
#include <vector>

#include "console/posix/frame_presenter.h"
#include "tools/cell_frames.h"
#include "vantrel/cp437_unicode.h"
#include "vantrel/frame_encoder.h"
#include "vantrel/half_blocks.h"
#include "vantrel/inline_printer.h"
#include "vantrel/seen_colour.h"

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
    explicit NaiveEncoder(ColourMode mode) {
        for (int i = 0; i < 16; ++i) colours[static_cast<std::size_t>(i)] = consoleColour(mode, i);
    }

    std::string_view encode(const Cell* frame) {
        std::size_t n = 0;
        auto put = [&](std::string_view s) {
            s.copy(buffer.data() + n, s.size());
            n += s.size();
        };
        put("\x1b[?2026h");
        int foreground = -1;
        int background = -1;
        for (int r = 0; r < cellRows; ++r) {
            put("\x1b[");
            n = static_cast<std::size_t>(std::to_chars(buffer.data() + n, buffer.data() + buffer.size(), r + 1).ptr -
                                         buffer.data());
            put("H");
            for (int c = 0; c < cellColumns; ++c) {
                const Cell cell = frame[r * cellColumns + c];
                const int fg = cellForeground(cell);
                const int bg = cellBackground(cell);
                std::optional<TerminalColour> newForeground;
                std::optional<TerminalColour> newBackground;
                if (fg != foreground) newForeground = colours[static_cast<std::size_t>(fg)];
                if (bg != background) newBackground = colours[static_cast<std::size_t>(bg)];
                n += writeSgr(newForeground, newBackground, buffer.data() + n, buffer.size() - n);
                foreground = fg;
                background = bg;
                appendCp437Utf8(cellCharacter(cell), buffer.data(), buffer.size(), n);
            }
        }
        put("\x1b[?2026l");
        return {buffer.data(), n};
    }

private:
    std::array<TerminalColour, 16> colours;
    std::array<char, cellCount * (maxSgrBytes + cp437Utf8MaxBytes) + 1024> buffer{};
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

// The encoder with the demo's layout: the 80x50 frame on an 80x50 terminal.
struct DiffEncoder {
    FrameEncoder encoder;
    std::string_view encode(const Cell* frame) { return encoder.encode({frame, cellColumns, cellRows, cellColumns}); }
};

// Argument: 0 the terminal's sixteen colours, 1 256 colours, 2 truecolor.
void BM_DiffEncoder(benchmark::State& state) {
    DiffEncoder e{FrameEncoder(static_cast<ColourMode>(state.range(0)), centreFrame(80, 50, 80, 50))};
    runFlight<DiffEncoder>(state, e, [](DiffEncoder& d) { d.encoder.forgetScreen(); });
}

void BM_NaiveEncoder(benchmark::State& state) {
    auto encoder = std::make_unique<NaiveEncoder>(static_cast<ColourMode>(state.range(0)));
    runFlight<NaiveEncoder>(state, *encoder, [](NaiveEncoder&) {});
}

// Every frame of the flight printed inline into one buffer.
struct InlinePrinter {
    ColourMode mode;
    std::vector<char> buffer = std::vector<char>(cellCount * 64);
    std::string_view encode(const Cell* frame) {
        const CellView<Cell> view{frame, cellColumns, cellRows, cellColumns};
        return {buffer.data(), printInline(view, mode, buffer.data(), buffer.size())};
    }
};

void BM_InlinePrint(benchmark::State& state) {
    InlinePrinter printer{static_cast<ColourMode>(state.range(0))};
    runFlight<InlinePrinter>(state, printer, [](InlinePrinter&) {});
}

// The demo's half-block form, as lines shows the frame on a terminal of 80x25
// (the seen colours of the cells, two to a character), through the host's
// presenter.
struct HalfBlocks {
    FramePresenter presenter;
    std::string_view encode(const Cell* frame) { return presenter.present(frame); }
};

void BM_HalfBlockForm(benchmark::State& state) {
    HalfBlocks h{FramePresenter(static_cast<ColourMode>(state.range(0)), 80, 25)};
    runFlight<HalfBlocks>(state, h, [](HalfBlocks& b) { b.presenter.forgetScreen(); });
}

// Every frame of the flight as 80x25 half blocks, each cell its seen colour
// (worked out beforehand), turned into mosaic cells and printed inline into
// one buffer.
struct MosaicInlinePrinter {
    ColourMode mode;
    std::vector<std::array<Rgb, cellCount>> seen;
    std::size_t next = 0;
    std::array<MosaicCell, cellCount / 2> blocks;
    std::vector<char> buffer = std::vector<char>(cellCount * 64);

    explicit MosaicInlinePrinter(ColourMode m) : mode(m) {
        for (const CellBuffer& frame : flight()) {
            auto& colours = seen.emplace_back();
            for (std::size_t i = 0; i < colours.size(); ++i) colours[i] = seenColour(frame[i]);
        }
    }
    std::string_view encode(const Cell*) {
        const Rgb* colours = seen[next++ % seen.size()].data();
        for (std::size_t r = 0; r < cellRows / 2; ++r) {
            halfBlockRow(mode, colours + 2 * r * cellColumns, colours + (2 * r + 1) * cellColumns, cellColumns,
                         blocks.data() + r * cellColumns);
        }
        const CellView<MosaicCell> view{blocks.data(), cellColumns, cellRows / 2, cellColumns};
        return {buffer.data(), printInline(view, mode, buffer.data(), buffer.size())};
    }
};

void BM_MosaicInlinePrint(benchmark::State& state) {
    auto printer = std::make_unique<MosaicInlinePrinter>(static_cast<ColourMode>(state.range(0)));
    runFlight<MosaicInlinePrinter>(state, *printer, [](MosaicInlinePrinter& p) { p.next = 0; });
}

BENCHMARK(BM_DiffEncoder)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NaiveEncoder)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InlinePrint)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HalfBlockForm)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MosaicInlinePrint)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
