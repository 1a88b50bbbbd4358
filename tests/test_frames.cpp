#include "tests/test_frames.h"

#include <random>

#include "render/cell_frames.h"

using namespace vantrel;

std::vector<CellBuffer> recordedFlight() { return readCellFrames(VANTREL_TERMINAL_FLIGHT); }

std::vector<CellBuffer> randomFrames(int frames, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<CellBuffer> out(static_cast<std::size_t>(frames));
    CellBuffer current{};
    for (int f = 0; f < frames; ++f) {
        if (f % 5 == 0) {
            for (Cell& c : current) c = static_cast<Cell>(rng());
        } else {
            for (int n = 0; n < 200; ++n) current[rng() % cellCount] = static_cast<Cell>(rng());
        }
        out[static_cast<std::size_t>(f)] = current;
    }
    return out;
}
