#include "tests/test_frames.h"

#include <algorithm>
#include <random>

#include "tools/cell_frames.h"

using namespace vantrel;

std::vector<CellBuffer> recordedFlight() { return readCellFrames(VANTREL_TERMINAL_FLIGHT); }

std::vector<std::vector<Cell>> randomGrids(int columns, int rows, int frames, unsigned seed) {
    std::mt19937 rng(seed);
    const auto cells = static_cast<std::size_t>(columns * rows);
    std::vector<std::vector<Cell>> out(static_cast<std::size_t>(frames));
    std::vector<Cell> current(cells);
    for (int f = 0; f < frames; ++f) {
        if (f % 5 == 0) {
            for (Cell& c : current) c = static_cast<Cell>(rng());
        } else {
            for (std::size_t n = 0; n < std::max<std::size_t>(cells / 20, 1); ++n) {
                current[rng() % cells] = static_cast<Cell>(rng());
            }
        }
        out[static_cast<std::size_t>(f)] = current;
    }
    return out;
}

std::vector<CellBuffer> randomFrames(int frames, unsigned seed) {
    std::vector<CellBuffer> out;
    for (const auto& grid : randomGrids(cellColumns, cellRows, frames, seed)) {
        CellBuffer b;
        std::copy(grid.begin(), grid.end(), b.begin());
        out.push_back(b);
    }
    return out;
}
